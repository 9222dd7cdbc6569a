// Loaded with `node --require` before the server of the tests: whatever the server
// was configured for, every listening socket is on 127.0.0.1, every outgoing TCP
// connection goes to loopback or is refused, and no UDP datagram leaves (the network
// announcements). Each refusal is a line of the file named by LOOPBACK_REFUSED.
'use strict';

const dgram = require('dgram');
const fs = require('fs');
const net = require('net');

const loopback = (host) =>
  host === undefined || host === null || host === '' || host === 'localhost' ||
  /^127\.\d+\.\d+\.\d+$/.test(host) || host === '::1' || host === '::ffff:127.0.0.1';
const refuse = (what) => {
  if (process.env.LOOPBACK_REFUSED) fs.appendFileSync(process.env.LOOPBACK_REFUSED, `${what}\n`);
};

const listen = net.Server.prototype.listen;
net.Server.prototype.listen = function (...args) {
  const [first] = args;
  if (first !== null && typeof first === 'object' && first.port !== undefined && first.path === undefined) {
    if (!loopback(first.host) && first.host !== '0.0.0.0' && first.host !== '::') refuse(`listen on ${first.host}`);
    args[0] = { ...first, host: '127.0.0.1' };
  } else if (typeof first === 'number' || (typeof first === 'string' && /^\d+$/.test(first))) {
    if (typeof args[1] === 'string') {
      if (!loopback(args[1]) && args[1] !== '0.0.0.0' && args[1] !== '::') refuse(`listen on ${args[1]}`);
      args[1] = '127.0.0.1';
    } else {
      args.splice(1, 0, '127.0.0.1');
    }
  }
  return listen.apply(this, args);
};

const connect = net.Socket.prototype.connect;
net.Socket.prototype.connect = function (...args) {
  const given = Array.isArray(args[0]) ? args[0] : args; // net.connect() passes its arguments as one array
  const [first] = given;
  let host;
  if (first !== null && typeof first === 'object') {
    host = first.path === undefined ? first.host : undefined;
  } else if (typeof first === 'number' || (typeof first === 'string' && /^\d+$/.test(first))) {
    host = typeof given[1] === 'string' ? given[1] : undefined;
  }
  if (!loopback(host)) {
    refuse(`connection to ${host}`);
    process.nextTick(() => this.destroy(new Error(`connection to ${host} refused: loopback only`)));
    return this;
  }
  return connect.apply(this, args);
};

dgram.Socket.prototype.send = function (...args) {
  refuse('UDP datagram');
  const callback = args.find((a) => typeof a === 'function');
  if (callback) process.nextTick(callback, new Error('UDP refused: loopback TCP only'));
};
