// Reads sentences (one per line, CR LF or LF) on standard input and checks that
// every one is a sentence a receiver can trust: the frame and its checksum, at
// most 82 characters with CR LF, every number a plain decimal (no exponent, no
// "nan" or "inf"), positions on the globe, angles within a turn, speeds and
// depths within what the configured ranges allow, four-digit years.
// Prints "N sentences, M problems" and the first problems; exit status 1 on any.
'use strict';
const readline = require('readline');

const MAX_PROBLEMS_SHOWN = 20;
const problems = [];
let count = 0;
const typesSeen = new Map();

function problem(line, why) {
  problems.push(`${why}: ${line}`);
}

function checksumOf(body) {
  let x = 0;
  for (let i = 0; i < body.length; ++i) x ^= body.charCodeAt(i);
  return x.toString(16).toUpperCase().padStart(2, '0');
}

const PLAIN = /^-?\d+(\.\d+)?$/;
const LOOKS_NUMERIC = /^[-+]?[\d.]*\d[\d.]*([eE][-+]?\d+)?$/;

// A ddmm.mmmm / dddmm.mmmm field followed by its letter.
function checkPosition(line, value, letter) {
  if (value === '' || value === undefined) return;
  if (!/^\d+(\.\d+)?$/.test(value) || !/^[NSEW]$/.test(letter)) return problem(line, `position ${value},${letter}`);
  const v = Number(value);
  const deg = Math.floor(v / 100);
  const min = v - deg * 100;
  const maxDeg = letter === 'N' || letter === 'S' ? 90 : 180;
  if (!(v >= 0) || deg > maxDeg || min >= 60 || (deg === maxDeg && min > 0)) {
    problem(line, `position ${value},${letter} off the globe`);
  }
}

function within(line, what, field, lo, hi) {
  if (field === undefined || field === '') return;
  const v = Number(field);
  if (!(v >= lo && v <= hi)) problem(line, `${what} ${field} outside ${lo}..${hi}`);
}

// Per type: the fields (counted from 0 after the type) that hold angles in
// degrees (0..360), speeds in knots, and depths in metres.
const ANGLES = {
  HDG: [0], HDM: [0], HDT: [0], MWV: [0], MWD: [0, 2], VHW: [0, 2], VTG: [0, 2],
  RMC: [7], BWC: [5, 7], BWR: [5, 7], APB: [7, 10, 12], RMB: [10],
};
const KNOTS = { MWV: [2], MWD: [4], VHW: [4], VTG: [4], RMC: [6], VWR: [2] };
const METRES = { DPT: [0], DBS: [2], DBT: [2], DBK: [2] };
// Per type: the latitude field of each position (its longitude two fields on).
const POSITIONS = { GLL: [0], RMC: [2], BWC: [1], BWR: [1], RMB: [5], WPL: [0], GGA: [1] };
const MAX_KNOTS = 300;  // wind up to 100 kn with its variations, plus the boat and the current
const MAX_DEPTH_M = 200;

function check(line) {
  const m = /^\$([A-Z]{2})([A-Z]{3}),(.*)\*([0-9A-F]{2})$/.exec(line);
  if (!m) return problem(line, 'not a framed sentence');
  if (line.length + 2 > 82) problem(line, `${line.length + 2} characters with CR LF`);
  const body = line.slice(1, line.lastIndexOf('*'));
  if (checksumOf(body) !== m[4]) problem(line, `checksum ${m[4]}, ${checksumOf(body)} expected`);
  const type = m[2];
  typesSeen.set(type, (typesSeen.get(type) || 0) + 1);
  const f = m[3].split(',');
  f.forEach((x, i) => {
    if (/^[-+]?(nan|inf)/i.test(x)) problem(line, `field ${i + 1} "${x}"`);
    else if (LOOKS_NUMERIC.test(x) && !PLAIN.test(x.replace(/^\+/, '')) && !/^\.\d+$/.test(x)) {
      problem(line, `field ${i + 1} "${x}" is not a plain decimal`);
    }
  });
  for (const i of POSITIONS[type] || []) {
    checkPosition(line, f[i], f[i + 1]);
    checkPosition(line, f[i + 2], f[i + 3]);
  }
  for (const i of ANGLES[type] || []) within(line, `${type} angle`, f[i], 0, 360);
  for (const i of KNOTS[type] || []) within(line, `${type} speed`, f[i], 0, MAX_KNOTS);
  for (const i of METRES[type] || []) within(line, `${type} depth`, f[i], 0, MAX_DEPTH_M);
  if (type === 'ZDA') {
    if (!/^\d{4}$/.test(f[3])) problem(line, `year "${f[3]}"`);
    within(line, 'ZDA day', f[1], 1, 31);
    within(line, 'ZDA month', f[2], 1, 12);
  }
}

const rl = readline.createInterface({ input: process.stdin, crlfDelay: Infinity });
rl.on('line', (raw) => {
  const line = raw.endsWith('\r') ? raw.slice(0, -1) : raw;
  if (line === '') return;
  ++count;
  check(line);
});
rl.on('close', () => {
  for (const p of problems.slice(0, MAX_PROBLEMS_SHOWN)) console.error(p);
  console.log(`${count} sentences, ${typesSeen.size} types, ${problems.length} problems`);
  process.exit(problems.length === 0 && count > 0 ? 0 : 1);
});
