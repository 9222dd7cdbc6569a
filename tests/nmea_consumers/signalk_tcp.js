#!/usr/bin/env node
// Reads the sentences of a TCP server until it closes, as a network consumer does,
// and feeds each to the Signal K parser.
//
//   node signalk_tcp.js <port> <copy-of-the-bytes>
//
// Fails (status 1) on a line that is not a whole sentence with its CR LF and a
// right checksum, on a sentence the parser throws on, and on a type the parser
// supports (it has a hook for it) that it never turned into values.
'use strict';

const fs = require('fs');
const net = require('net');
const path = require('path');
const SignalKParser = require('@signalk/nmea0183-signalk');

const [port, copyPath] = process.argv.slice(2);
const hooks = path.join(path.dirname(require.resolve('@signalk/nmea0183-signalk')), 'hooks');
const supported = new Set(
  fs.readdirSync(hooks).filter((f) => /^[A-Z]{3}\.js$/.test(f)).map((f) => f.slice(0, 3)));
const ownChecksum = (s) => {
  let x = 0;
  for (let i = 1; i < s.indexOf('*'); i++) x ^= s.charCodeAt(i);
  return x.toString(16).toUpperCase().padStart(2, '0');
};

const sk = new SignalKParser();
const failures = [];
const seen = new Map(); // type -> [sentences, turned into values]
const chunks = [];
let rest = '';
let lines = 0;

function line(s) {
  lines++;
  if (!/^\$[A-Z]{2}[A-Z]{3},[\x20-\x7e]*\*[0-9A-F]{2}$/.test(s) || s.slice(-2) !== ownChecksum(s)) {
    failures.push(`line ${lines}: not a whole sentence with its checksum: ${JSON.stringify(s)}`);
    return;
  }
  const type = s.slice(3, 6);
  const c = seen.get(type) || [0, 0];
  c[0]++;
  try {
    const delta = sk.parse(s);
    if (delta && delta.updates && delta.updates.some((u) => (u.values || []).length > 0)) c[1]++;
  } catch (err) {
    failures.push(`line ${lines}: the parser throws on ${s}: ${err.message}`);
  }
  seen.set(type, c);
}

const socket = net.connect(Number(port), '127.0.0.1');
socket.setEncoding('latin1');
socket.on('data', (d) => {
  chunks.push(d);
  const parts = (rest + d).split('\r\n');
  rest = parts.pop();
  parts.forEach(line);
});
socket.on('error', (err) => {
  console.error(`signalk_tcp: ${err.message}`);
  process.exit(1);
});
socket.on('close', () => {
  fs.writeFileSync(copyPath, Buffer.from(chunks.join(''), 'latin1'));
  if (rest !== '') failures.push(`the stream ends inside a line: ${JSON.stringify(rest.slice(0, 80))}`);
  if (lines === 0) failures.push('no sentence received');
  for (const [type, [n, accepted]] of seen) {
    if (supported.has(type) && accepted === 0) failures.push(`${type}: ${n} sentences, none accepted by the parser`);
  }
  const types = [...seen.keys()].sort();
  console.log(`${lines} sentences; types ${types.join(' ')}; parsed by Signal K: ${
    types.filter((t) => supported.has(t)).join(' ')}`);
  for (const f of failures.slice(0, 20)) console.error(`FAIL ${f}`);
  process.exit(failures.length === 0 ? 0 : 1);
});
