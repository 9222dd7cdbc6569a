#!/usr/bin/env node
// Feeds a stream with faults put into it (wrong checksums, invalid fixes, lines of
// garbage, sentences cut short) to the Signal K parser, line by line, as a
// receiver does, and checks what it makes of each.
//
//   node signalk_faults.js <stream>
//
// A line that is no whole sentence with its right checksum must give no value (the
// parser throws or returns nothing); every other line must not make it throw, and
// a sentence of a type it reads must give values, but for GLL with status "V",
// which it must take as no position. GGA with quality 0 must come out as "no GPS".
// Each type rejected must be read again at its next good sentence. The stream must
// hold each of these cases at least once. Prints the counts; status 1 on a failure.
'use strict';

const fs = require('fs');
const path = require('path');
const SignalKParser = require('@signalk/nmea0183-signalk');

const hooks = path.join(path.dirname(require.resolve('@signalk/nmea0183-signalk')), 'hooks');
const supported = new Set(
  fs.readdirSync(hooks).filter((f) => /^[A-Z]{3}\.js$/.test(f)).map((f) => f.slice(0, 3)));

const ownChecksum = (s) => {
  let x = 0;
  for (let i = 1; i < s.indexOf('*'); i++) x ^= s.charCodeAt(i);
  return x.toString(16).toUpperCase().padStart(2, '0');
};
// "garbage", "cut" (no checksum), "badsum" or "good".
const kind = (s) => {
  if (!s.startsWith('$')) return 'garbage';
  if (!/^\$[A-Z]{5},[\x20-\x7e]*\*[0-9A-F]{2}$/.test(s)) return 'cut';
  return s.slice(-2) === ownChecksum(s) ? 'good' : 'badsum';
};

const text = fs.readFileSync(process.argv[2], 'latin1');
const lines = text.split('\r\n');
const failures = [];
if (lines.pop() !== '') failures.push('the stream does not end with CR LF');

const sk = new SignalKParser();
const counts = { lines: 0, garbage: 0, cut: 0, badsum: 0, good: 0, gllInvalid: 0, ggaNoFix: 0, rmcVoid: 0,
  readAgain: 0 };
const rejected = new Set(); // types rejected since their last good sentence
lines.forEach((s, i) => {
  counts.lines++;
  const k = kind(s);
  counts[k]++;
  let delta = null;
  let threw = null;
  try {
    delta = sk.parse(s);
  } catch (err) {
    threw = err.message;
  }
  const values = delta && delta.updates ? delta.updates.flatMap((u) => u.values || []) : [];
  const at = `line ${i + 1} (${k}) ${JSON.stringify(s.slice(0, 90))}`;
  const type = s.slice(3, 6);
  if (k !== 'good') {
    if (values.length > 0) failures.push(`${at}: taken by the parser`);
    if (k !== 'garbage') rejected.add(type);
    return;
  }
  if (threw !== null) {
    failures.push(`${at}: the parser throws: ${threw}`);
    return;
  }
  const f = s.slice(0, s.indexOf('*')).split(',');
  if (type === 'GLL' && f[6] === 'V') {
    counts.gllInvalid++;
    if (values.length > 0) failures.push(`${at}: a position taken from GLL status V`);
    return;
  }
  if (type === 'RMC' && f[2] === 'V') counts.rmcVoid++;
  if (type === 'GGA' && f[6] === '0') {
    counts.ggaNoFix++;
    const q = values.find((v) => v.path === 'navigation.gnss.methodQuality');
    if (!q || q.value !== 'no GPS') failures.push(`${at}: quality 0 read as ${JSON.stringify(q && q.value)}`);
  }
  if (!supported.has(type)) return;
  if (values.length === 0) {
    failures.push(`${at}: no value read`);
  } else if (rejected.delete(type)) {
    counts.readAgain++;
  }
});
for (const [name, n] of Object.entries(counts)) {
  if (n === 0 && name !== 'cut' && name !== 'rmcVoid') failures.push(`no case "${name}" in the stream`);
}
console.log(Object.entries(counts).map(([k, v]) => `${k} ${v}`).join(', '));
for (const f of failures.slice(0, 20)) console.error(`FAIL ${f}`);
process.exit(failures.length === 0 ? 0 : 1);
