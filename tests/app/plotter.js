#!/usr/bin/env node
// A test plotter that navigates a route as a chart plotter does: it reads the
// position of the boat from our RMC (or GLL) sentences, works out the bearing and
// the cross-track error to its active waypoint, and sends back APB, RMB and XTE,
// for tests/app/headless_closed_loop.sh.
//
//   node plotter.js (--tcp [HOST:]PORT | --serial PATH) ROUTE [options]
//     ROUTE: --route FILE (JSON: [{"name", "lat", "lon"}, ...], decimal degrees,
//            south and west negative) or --wp NAME,LAT,LON repeated, in order
//     --radius METRES    arrival radius (default 50)
//     --timeout SECONDS  wall-clock limit (default 120)
//     --talker XX        talker of the sentences sent (default GP)
//     --send udp:HOST:PORT  send to a UDP port instead of back on the input;
//     --send none           send nothing (with --log: what would be sent)
//     --log PATH         a copy of every line sent
//
// The active leg runs from the previous waypoint (the first fix for the first
// leg) to the active waypoint; the plotter switches to the next one inside the
// arrival radius, or when the boat passes the perpendicular of the waypoint. On
// each new fix (RMC, or GLL in a run without RMC; once a second of sentence
// time at most) it sends APB (heading to steer true = bearing from the present
// position), RMB and XTE. At the last
// waypoint, once inside the radius, it sends one APB/RMB with the arrival flags,
// prints a summary as JSON on standard output and exits 0. A timeout, an input
// that ends or an error prints the summary too (result says why) and exits 1.
// Earth: a sphere, one nautical mile per minute of arc.
'use strict';

const dgram = require('dgram');
const fs = require('fs');
const net = require('net');
const tty = require('tty');

// ---- Geodesy: degrees, nautical miles.
const rad = (d) => (d * Math.PI) / 180;
const deg = (r) => (r * 180) / Math.PI;
const EARTH_NM = (60 * 180) / Math.PI;
const norm360 = (d) => ((d % 360) + 360) % 360;
const angleDiff = (a, b) => ((a - b + 540) % 360) - 180; // a - b in [-180, 180)

function distance(p, q) {  // great-circle distance
  const h = Math.sin(rad(q.lat - p.lat) / 2) ** 2 +
    Math.cos(rad(p.lat)) * Math.cos(rad(q.lat)) * Math.sin(rad(q.lon - p.lon) / 2) ** 2;
  return 2 * Math.asin(Math.min(1, Math.sqrt(h))) * EARTH_NM;
}
function bearing(p, q) {  // initial great-circle bearing, degrees true
  const y = Math.sin(rad(q.lon - p.lon)) * Math.cos(rad(q.lat));
  const x = Math.cos(rad(p.lat)) * Math.sin(rad(q.lat)) -
    Math.sin(rad(p.lat)) * Math.cos(rad(q.lat)) * Math.cos(rad(q.lon - p.lon));
  return norm360(deg(Math.atan2(y, x)));
}
// Signed distance of p from the great circle from a to b: positive on the right.
function crossTrack(a, b, p) {
  return Math.asin(Math.sin(distance(a, p) / EARTH_NM) * Math.sin(rad(bearing(a, p) - bearing(a, b)))) * EARTH_NM;
}
// True when p lies beyond the perpendicular to the leg a -> b at b.
function perpendicularPassed(a, b, p) {
  return distance(b, p) > 0 && Math.abs(angleDiff(bearing(b, p), norm360(bearing(b, a) + 180))) < 90;
}

// ---- Sentences.
function checksum(body) {
  let x = 0;
  for (let i = 0; i < body.length; i++) x ^= body.charCodeAt(i);
  return x.toString(16).toUpperCase().padStart(2, '0');
}
function valid(line) {
  const m = /^\$([A-Z]{2}[A-Z]{3},[\x20-\x7e]*)\*([0-9A-F]{2})$/.exec(line);
  return m !== null && checksum(m[1]) === m[2];
}
function angle(v, hemisphere) {  // "[d]ddmm.mmm" and N/S/E/W -> degrees
  if (!/^\d+(\.\d+)?$/.test(v) || !/^[NSEW]$/.test(hemisphere)) return NaN;
  const d = Math.floor(Number(v) / 100);
  const x = d + (Number(v) - 100 * d) / 60;
  return hemisphere === 'S' || hemisphere === 'W' ? -x : x;
}
function field(x, degreeDigits, letters) {  // degrees -> ["dddmm.mmmm", letter]
  const a = Math.abs(x);
  let d = Math.floor(a);
  let m = Number(((a - d) * 60).toFixed(4));
  if (m >= 60) { d++; m -= 60; }
  return [String(d).padStart(degreeDigits, '0') + m.toFixed(4).padStart(7, '0'), x < 0 ? letters[1] : letters[0]];
}
const fixed = (v, n) => Math.abs(v).toFixed(n);

// ---- Arguments.
function usage(message) {
  process.stderr.write(`plotter: ${message}\n`);
  process.exit(2);
}
const opt = { radius: 50, timeout: 120, talker: 'GP', wps: [] };
const args = process.argv.slice(2);
for (let i = 0; i < args.length; i++) {
  const a = args[i];
  const v = args[++i];
  if (v === undefined || v.startsWith('--')) usage(`${a} needs a value`);
  if (a === '--tcp') opt.tcp = v;
  else if (a === '--serial') opt.serial = v;
  else if (a === '--route') opt.route = v;
  else if (a === '--wp') opt.wps.push(v);
  else if (a === '--radius') opt.radius = Number(v);
  else if (a === '--timeout') opt.timeout = Number(v);
  else if (a === '--talker') opt.talker = v;
  else if (a === '--send') opt.send = v;
  else if (a === '--log') opt.log = v;
  else usage(`unknown option ${a}`);
}
if ((opt.tcp === undefined) === (opt.serial === undefined)) usage('give one of --tcp and --serial');
if (!(opt.radius > 0) || !(opt.timeout > 0)) usage('--radius and --timeout must be positive numbers');
if (!/^[A-Z]{2}$/.test(opt.talker)) usage('--talker takes two capital letters');
let route;
try {
  route = opt.route !== undefined ? JSON.parse(fs.readFileSync(opt.route, 'utf8'))
    : opt.wps.map((w) => { const [name, lat, lon] = w.split(','); return { name, lat: Number(lat), lon: Number(lon) }; });
} catch (err) {
  usage(`cannot read the route: ${err.message}`);
}
if (!Array.isArray(route) || route.length === 0) usage('the route has no waypoint');
for (const w of route) {
  if (typeof w.name !== 'string' || !/^[\x21-\x7e]{1,16}$/.test(w.name) || /[,*$!\\^~]/.test(w.name) ||
      !(Math.abs(w.lat) <= 90) || !(Math.abs(w.lon) <= 180)) usage(`bad waypoint ${JSON.stringify(w)}`);
}

// ---- Navigation state.
const radiusNm = opt.radius / 1852;
let active = 0;                 // index of the active waypoint in route
let origin = null;              // start of the active leg
let firstTime = null;           // sentence time of the first fix, ms
let lastSecond = null;          // sentence time of the last fix answered, ms
let time = null;                // sentence time of the last fix, ms
let date = null;                // last date of RMC, ms at 00:00 UTC
const legs = route.map((w) => ({ name: w.name, reached: null, distance: null, time: null, tacks: 0 }));
let steady = null;              // course held over two fixes on this leg, degrees
let lastCourse = null;
let linesRead = 0;
let sent = 0;
let finished = false;

const log = opt.log !== undefined ? fs.openSync(opt.log, 'w') : null;
let writeOut;                   // sends one sentence (with CR LF)
let closeInput = () => {};

function summary(result) {
  const done = legs.filter((l) => l.reached !== null);
  return JSON.stringify({
    result,
    waypoints: legs,
    reached: done.length,
    tacks: legs.reduce((n, l) => n + l.tacks, 0),
    seconds: firstTime !== null && time !== null ? (time - firstTime) / 1000 : 0,
    finalDistanceMetres: done.length > 0 ? done[done.length - 1].distance : null,
    linesRead,
    sentencesSent: sent,
  });
}
function end(result, status) {
  if (finished) return;
  finished = true;
  process.stdout.write(`${summary(result)}\n`);
  closeInput();
  setTimeout(() => process.exit(status), 200); // lets the last sentences leave
}

function send(type, fields) {
  const body = `${opt.talker}${type},${fields.join(',')}`;
  const line = `$${body}*${checksum(body)}\r\n`;
  writeOut(line);
  if (log !== null) fs.writeSync(log, line);
  sent++;
}

// The sentences of one fix: p position, sog knots, cog degrees true (or null).
function answer(p, sog, cog, arrived) {
  const dest = route[active];
  const from = active > 0 ? route[active - 1].name : 'START';
  const xte = crossTrack(origin, dest, p);
  const steer = xte > 0 ? 'L' : 'R';
  const range = distance(p, dest);
  const toDest = bearing(p, dest);
  const legBearing = bearing(origin, dest);
  const closing = cog === null ? 0 : sog * Math.cos(rad(cog - toDest));
  const arrival = arrived ? 'A' : 'V';
  const perpendicular = perpendicularPassed(origin, dest, p) ? 'A' : 'V';
  const [lat, ns] = field(dest.lat, 2, 'NS');
  const [lon, ew] = field(dest.lon, 3, 'EW');
  send('APB', ['A', 'A', fixed(xte, 3), steer, 'N', arrival, perpendicular, legBearing.toFixed(2), 'T',
    dest.name, toDest.toFixed(2), 'T', toDest.toFixed(2), 'T', 'A']);
  send('RMB', ['A', fixed(xte, 3), steer, from, dest.name, lat, ns, lon, ew, range.toFixed(3),
    toDest.toFixed(2), closing.toFixed(2), arrival, 'A']);
  send('XTE', ['A', 'A', fixed(xte, 3), steer, 'N', 'A']);
}

// Counts a tack (or gybe) when the course held over two fixes changes by more
// than 60 degrees after the first course held on the leg.
function watchCourse(cog) {
  if (cog === null) return;
  if (lastCourse !== null && Math.abs(angleDiff(cog, lastCourse)) < 10) {
    if (steady === null) steady = cog;
    else if (Math.abs(angleDiff(cog, steady)) > 60) { legs[active].tacks++; steady = cog; }
  }
  lastCourse = cog;
}

function fix(p, sog, cog) {
  if (finished) return;
  if (origin === null) { origin = p; firstTime = time; }
  if (lastSecond !== null && time !== null && Math.floor(time / 1000) === Math.floor(lastSecond / 1000)) return;
  lastSecond = time;
  watchCourse(cog);
  for (;;) {
    const dest = route[active];
    const range = distance(p, dest);
    const inside = range <= radiusNm;
    const last = active === route.length - 1;
    if (!inside && (last || !perpendicularPassed(origin, dest, p))) break;
    Object.assign(legs[active], { reached: inside ? 'radius' : 'perpendicular',
      distance: Math.round(range * 1852 * 10) / 10, time: time !== null ? (time - firstTime) / 1000 : null });
    if (last) { answer(p, sog, cog, true); end('arrived', 0); return; }
    origin = dest;
    active++;
    steady = null;
  }
  answer(p, sog, cog, false);
}

// Reads our sentences: RMC (time, date, position, speed, course), or GLL when
// a GLL came again without an RMC after it (a run that sends no RMC).
let awaitingRmc = false;
let gllOnly = false;
function line(s) {
  linesRead++;
  if (!valid(s)) return;
  const f = s.slice(0, s.indexOf('*')).split(',');
  const type = f[0].slice(3);
  if (type === 'RMC' && f[2] === 'A') {
    awaitingRmc = false;
    const d = /^(\d\d)(\d\d)(\d\d)$/.exec(f[9]);
    if (d) date = Date.UTC(2000 + Number(d[3]), Number(d[2]) - 1, Number(d[1]));
    setTime(f[1]);
    const p = { lat: angle(f[3], f[4]), lon: angle(f[5], f[6]) };
    const cog = f[8] === '' ? null : Number(f[8]);
    if (Number.isFinite(p.lat) && Number.isFinite(p.lon)) fix(p, Number(f[7]) || 0, cog);
  } else if (type === 'GLL' && f[6] === 'A') {
    if (awaitingRmc) gllOnly = true;
    awaitingRmc = !gllOnly;
    if (!gllOnly) return;
    setTime(f[5]);
    const p = { lat: angle(f[1], f[2]), lon: angle(f[3], f[4]) };
    if (Number.isFinite(p.lat) && Number.isFinite(p.lon)) fix(p, 0, null);
  }
}
function setTime(hms) {
  const t = /^(\d\d)(\d\d)(\d\d(\.\d+)?)$/.exec(hms);
  if (t === null || date === null) return;
  time = date + ((Number(t[1]) * 60 + Number(t[2])) * 60 + Number(t[3])) * 1000;
}

let rest = '';
function data(chunk) {
  const parts = (rest + chunk).split(/\r?\n/);
  rest = parts.pop();
  if (rest.length > 1000) rest = '';
  for (const s of parts) line(s.replace(/\r$/, ''));
}

// ---- Input and output.
if (opt.tcp !== undefined) {
  const m = /^(?:(.+):)?(\d+)$/.exec(opt.tcp);
  if (m === null) usage(`bad --tcp ${opt.tcp}`);
  const socket = net.connect(Number(m[2]), m[1] || '127.0.0.1');
  socket.setEncoding('latin1');
  socket.on('data', data);
  socket.on('error', (err) => {
    if (err.code === 'ECONNRESET' || err.code === 'EPIPE') { end('input ended', 1); return; }
    process.stderr.write(`plotter: ${err.message}\n`);
    end('error', 1);
  });
  socket.on('close', () => end('input ended', 1));
  writeOut = (l) => { if (!socket.destroyed && socket.writableLength < 65536) socket.write(l); };
  closeInput = () => socket.end();
} else {
  // A terminal device read and written through the event loop (two descriptors,
  // so that a line that does not take more bytes never blocks the reading).
  let input;
  let output;
  try {
    input = fs.openSync(opt.serial, fs.constants.O_RDWR | fs.constants.O_NOCTTY);
    output = fs.openSync(opt.serial, fs.constants.O_RDWR | fs.constants.O_NOCTTY);
  } catch (err) {
    usage(`cannot open ${opt.serial}: ${err.message}`);
  }
  if (!tty.isatty(input)) usage(`${opt.serial} is not a terminal device`);
  const reader = new tty.ReadStream(input);
  reader.setRawMode(true);
  reader.setEncoding('latin1');
  reader.on('data', data);
  reader.on('error', () => end('input ended', 1)); // the far end closed (EIO)
  reader.on('end', () => end('input ended', 1));
  const writer = new tty.WriteStream(output);
  writer.on('error', () => end('error', 1));
  writeOut = (l) => { if (writer.writableLength < 4096) writer.write(l); }; // a full line drops
  closeInput = () => reader.destroy();
}
if (opt.send === 'none') {
  writeOut = () => {};
} else if (opt.send !== undefined) {
  const m = /^udp:(.+):(\d+)$/.exec(opt.send);
  if (m === null) usage(`bad --send ${opt.send} (udp:HOST:PORT or none)`);
  const udp = dgram.createSocket(m[1].includes(':') ? 'udp6' : 'udp4');
  writeOut = (l) => udp.send(l, Number(m[2]), m[1]);
}
setTimeout(() => end('timeout', 1), opt.timeout * 1000).unref();
