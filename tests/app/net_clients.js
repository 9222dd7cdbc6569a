#!/usr/bin/env node
// Clients of a TCP server that come and go at random moments, as the users of a
// navigation server do, for tests/app/headless_net_clients.sh.
//
//   node net_clients.js <port> <clients> <seconds>
//
// Each client connects at a random moment of the first seconds - 5, stays from a
// fifth of a second to 15 s, and leaves in one of three ways: a close, a reset, or
// a half-close (it stops sending and reads until the server ends). Every line a
// client received must be a whole sentence with its checksum, the first one the
// first sentence of a group (whole groups only); only the last line of a client
// that left may be cut. Status 1 on any fault; all ends within seconds + 5 s.
'use strict';

const net = require('net');

const [port, count, seconds] = process.argv.slice(2).map(Number);
const failures = [];
const groupStart = /^\$..(DPT|VHW),|^\$..GSV,3,1,/;
const sentence = /^\$[A-Z]{2}[A-Z]{3},[\x20-\x7e]*\*[0-9A-F]{2}$/;
const ownChecksum = (s) => {
  let x = 0;
  for (let i = 1; i < s.indexOf('*'); i++) x ^= s.charCodeAt(i);
  return x.toString(16).toUpperCase().padStart(2, '0');
};
let finished = 0;
let connected = 0;
let lines = 0;
const ways = ['close', 'reset', 'half-close'];

function client(i) {
  const way = ways[i % ways.length];
  const stay = 200 + Math.random() * 14800;
  let data = '';
  const s = net.connect(port, '127.0.0.1');
  s.setEncoding('latin1');
  s.on('connect', () => {
    connected++;
    setTimeout(() => {
      if (way === 'close') s.destroy();
      else if (way === 'reset' && s.resetAndDestroy) s.resetAndDestroy();
      else if (way === 'reset') s.destroy();
      else s.end(); // half-close: the server ends the connection
    }, stay);
    s.write('bytes a client sends, that the server throws away\r\n'.repeat(50));
  });
  s.on('data', (d) => { data += d; });
  s.on('error', () => {}); // a reset of one's own making
  s.on('close', () => {
    const parts = data.split('\r\n');
    parts.pop(); // what follows the last CR LF: cut by the leaving, or empty
    parts.forEach((l, k) => {
      lines++;
      if (!sentence.test(l) || l.slice(-2) !== ownChecksum(l)) failures.push(`client ${i} (${way}), line ${k + 1}: ${JSON.stringify(l.slice(0, 90))}`);
    });
    if (parts.length > 0 && !groupStart.test(parts[0])) failures.push(`client ${i}: starts inside a group: ${parts[0]}`);
    if (++finished === count) done();
  });
}

function done() {
  console.log(`${count} clients, ${connected} connected, ${lines} whole lines received`);
  if (connected !== count) failures.push(`${count - connected} clients never connected`);
  if (lines === 0) failures.push('no client received a sentence');
  for (const f of failures.slice(0, 20)) console.error(`FAIL ${f}`);
  process.exit(failures.length === 0 ? 0 : 1);
}

for (let i = 0; i < count; i++) setTimeout(() => client(i), Math.random() * (seconds - 5) * 1000);
setTimeout(() => {
  console.error(`FAIL only ${finished} of ${count} clients ended in time`);
  process.exit(1);
}, (seconds + 5) * 1000);
