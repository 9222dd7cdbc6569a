#!/usr/bin/env node
// Feeds a recorded run of sentences to real receivers and checks what they decode.
//
//   node check_consumers.js <expected.jsonl> [<gpsdecode.jsonl>]
//
// expected.jsonl: one line per sentence sent, in order:
//   {"s": "<sentence>", "group": 1..3, "cycle": n, "second": n, "e": {values}}
// where the values are those of the simulation when the sentence was built
// (degrees, knots, metres, nautical miles; ISO times in UTC).
// gpsdecode.jsonl: the reports of `gpsdecode -d -j` over the same sentences.
//
// Checked: every sentence framed, its checksum (our own XOR and nmea-simple's),
// at most 82 characters with CR LF; what the Signal K parser and nmea-simple
// decode from each sentence against its values; and, for gpsd, the sequence of
// positions, times, courses, speeds, depths, headings and winds it reports, in
// order, against the values of the sentences that carry them.
'use strict';

const fs = require('fs');
const SignalKParser = require('@signalk/nmea0183-signalk');
const nmea = require('nmea-simple');

const KN = 1852 / 3600; // m/s in a knot
// Tolerances: half a unit of the field's last decimal, plus the receiver's own rounding.
const TOL = { pos: 1e-6, angle: 0.0051, speed: 0.0051, depth: 0.0051, dist: 0.0051 };

// Comparisons of a decoded value with the one sent: true when they agree.
const isNum = (g) => typeof g === 'number' && Number.isFinite(g);
const num = (tol) => (g, w) => isNum(g) && Math.abs(g - w) <= tol;
const ang = (tol) => (g, w) => isNum(g) && Math.abs(((((g - w) % 360) + 540) % 360) - 180) <= tol;
const rad = (cmp) => (g, w) => cmp(typeof g === 'number' ? (g * 180) / Math.PI : g, w); // Signal K's radians
const orNone = (cmp) => (g, w) => (w === undefined ? !isNum(g) : cmp(g, w)); // nothing decoded when nothing is known
const same = (g, w) => JSON.stringify(g) === JSON.stringify(w);
// A name cut to keep the sentence within 82 characters: a non-empty beginning of
// the name, and only when the sentence is then exactly 82 characters long.
const name = (g, w, s) => g === w || (typeof g === 'string' && g.length > 0 && w.startsWith(g) && s.length + 2 === 82);
const A = ang(TOL.angle);
const RA = rad(A);
const P = num(TOL.pos);
const M = num(TOL.depth);
const KT = num(TOL.speed);
const MS = num(TOL.speed * KN);
const timeOfDay = (iso) => (typeof iso === 'string' ? iso.slice(11, 19) : iso);

// For each sentence type, [value path, value sent, comparison] rows: a path is a
// key of the decoded values, "/" going into an object; "@" keys are made here.
// Signal K: values by path, in SI units (radians, m/s, metres, kelvin).
const wind = (e) => [['environment.wind.angleApparent', e.windAngle, RA],
  ['environment.wind.speedApparent', e.windSpeed * KN, MS]];
const position = (p, e) => [[`${p}/latitude`, e.lat, P], [`${p}/longitude`, e.lon, P]];
const bearings = (base) => (e) => [...position(`${base}.nextPoint.position`, e),
  [`${base}.nextPoint.distance`, e.distance * 1852, num(TOL.dist * 1852)],
  [`${base}.bearingTrackTrue`, e.bearingTrue, RA], [`${base}.bearingTrackMagnetic`, e.bearingMagnetic, RA]];
const SK = {
  DPT: (e) => [['environment.depth.belowTransducer', e.depth, M],
    ['environment.depth.surfaceToTransducer', e.offset, M],
    ['environment.depth.belowSurface', e.depth + e.offset, num(2 * TOL.depth)]],
  DBS: (e) => [['environment.depth.belowSurface', e.depth, M]],
  DBT: (e) => [['environment.depth.belowTransducer', e.depth, M]],
  DBK: (e) => [['environment.depth.belowKeel', e.depth, M]],
  HDG: (e) => [['navigation.headingMagnetic', e.headingMagnetic, RA],
    ['navigation.magneticVariation', e.variation, rad(num(1e-6))]],
  HDM: (e) => [['navigation.headingMagnetic', e.headingMagnetic, RA]],
  HDT: (e) => [['navigation.headingTrue', e.headingTrue, RA]],
  MWV: wind,
  VWR: wind,
  MWD: (e) => [['environment.wind.directionTrue', e.windDirectionTrue, RA],
    ['environment.wind.directionMagnetic', e.windDirectionMagnetic, RA],
    ['environment.wind.speedTrue', e.windSpeedTrue * KN, num(TOL.speed)]],
  VHW: (e) => [['navigation.headingTrue', e.headingTrue, RA], ['navigation.headingMagnetic', e.headingMagnetic, RA],
    ['navigation.speedThroughWater', e.speed * KN, MS]],
  GLL: (e) => [...position('navigation.position', e), ['@time', timeOfDay(e.time), same]],
  RMC: (e) => [...SK.GLL(e), ['navigation.datetime', e.time, same], ['navigation.speedOverGround', e.sog * KN, MS],
    ['navigation.courseOverGroundTrue', e.cog, RA], ['navigation.magneticVariation', e.variation, rad(num(TOL.angle))]],
  BWC: bearings('navigation.courseGreatCircle'),
  BWR: bearings('navigation.courseRhumbline'),
  // The parser reports the series at its last message.
  GSV: (e, msg) => (msg !== 3 ? [] : [['navigation.gnss.satellitesInView/count', 12, same], ['@satellites', 12, same]]),
  RMB: (e) => [['navigation.courseRhumbline.nextPoint.ID', e.waypoint, same],
    ...position('navigation.courseRhumbline.nextPoint.position', e),
    ['navigation.courseRhumbline.nextPoint.distance', e.distance * 1852, num(TOL.dist * 1852)],
    ['navigation.courseRhumbline.nextPoint.bearingTrue', e.bearingTrue, RA],
    // The parser reads a closing speed below zero (sailing away) as 0.
    ['navigation.courseRhumbline.nextPoint.velocityMadeGood', Math.max(0, e.vmg) * KN, MS]],
  APB: (e) => [['navigation.courseRhumbline.bearingOriginToDestinationTrue', e.bearingOrigin, orNone(RA)],
    ['navigation.courseRhumbline.bearingToDestinationTrue', e.bearingTrue, RA],
    ['navigation.courseRhumbline.nextPoint.ID', e.waypoint, same],
    ['steering.autopilot.target.headingMagnetic', e.headingToSteer, RA]],
  MTW: (e) => [['environment.water.temperature', e.temperature + 273.15, num(0.0051)]],
  VTG: (e) => [['navigation.courseOverGroundTrue', e.cog, RA],
    ['navigation.courseOverGroundMagnetic', e.cogMagnetic, RA], ['navigation.speedOverGround', e.sog * KN, MS]],
  ZDA: (e) => [['navigation.datetime', e.time, same]],
  GGA: (e) => [...position('navigation.position', e), ['@time', timeOfDay(e.time), same],
    ['navigation.gnss.methodQuality', 'GNSS Fix', same], ['navigation.gnss.satellites', 6, same],
    ['navigation.gnss.horizontalDilution', 3.1, same], ['navigation.gnss.antennaAltitude', 0, same]],
  XTE: () => [['navigation.courseRhumbline.crossTrackError', 0, same]],
  // Radians per second for degrees per minute (one decimal sent).
  ROT: (e) => [['navigation.rateOfTurn', e.rateOfTurn, (g, w) => isNum(g) && Math.abs((g * 180 * 60) / Math.PI - w) <= 0.051]],
  RSA: (e) => [['steering.rudderAngle', e.rudderAngle, rad(num(0.051))]],
  VLW: (e) => [['navigation.log', e.logTotal * 1852, num(TOL.dist * 1852)],
    ['navigation.trip.log', e.logTrip * 1852, num(TOL.dist * 1852)]],
};
// nmea-simple: its own field names, degrees and knots.
const NS = {
  DBT: (e) => [['depthMeters', e.depth, M]],
  HDG: (e) => [['heading', e.headingMagnetic, A], ['@variation', e.variation, num(1e-9)]],
  HDM: (e) => [['heading', e.headingMagnetic, A]],
  HDT: (e) => [['heading', e.headingTrue, A]],
  MWV: (e) => [['windAngle', e.windAngle, A], ['reference', 'relative', same], ['speed', e.windSpeed, KT]],
  VHW: (e) => [['degreesTrue', e.headingTrue, A], ['degreesMagnetic', e.headingMagnetic, A],
    ['speedKnots', e.speed, KT]],
  GLL: (e) => [['latitude', e.lat, P], ['longitude', e.lon, P], ['@time', timeOfDay(e.time), same]],
  RMC: (e) => [['latitude', e.lat, P], ['longitude', e.lon, P], ['@datetime', e.time, same], ['speedKnots', e.sog, KT],
    ['trackTrue', e.cog, A], ['@variation', e.variation, num(TOL.angle)]],
  BWC: (e) => [['bearingLatitude', e.lat, P], ['bearingLongitude', e.lon, P], ['bearingTrue', e.bearingTrue, A],
    ['bearingMagnetic', e.bearingMagnetic, A], ['distanceNm', e.distance, num(TOL.dist)],
    ['waypointId', e.waypoint, name]],
  GSA: () => [['satellites', [13, 15, 20, 21, 28, 30], same], ['@dop', [4, 3.1, 2.4], same]],
  GSV: (e, msg) => [['@series', [3, msg, 12], same], ['satellites/length', 4, same]],
  APB: (e) => [['bearingOrig2Dest', e.bearingOrigin, orNone(A)], ['bearing2Dest', e.bearingTrue, A],
    ['heading2steer', e.headingToSteer, A], ['waypoint', e.waypoint, same]],
  VTG: (e) => [['trackTrue', e.cog, A], ['trackMagnetic', e.cogMagnetic, A], ['speedKnots', e.sog, KT]],
  ZDA: (e) => [['@datetime', e.time, same], ['localZoneHours', e.zoneHours, same]],
  GGA: (e) => [['latitude', e.lat, P], ['longitude', e.lon, P], ['@time', timeOfDay(e.time), same],
    ['fixType', 'fix', same], ['satellitesInView', 6, same], ['horizontalDilution', 3.1, same],
    ['altitudeMeters', 0, same]],
};

function signalK(delta) {
  const v = {};
  for (const u of (delta && delta.updates) || []) {
    if (u.timestamp) v['@time'] = timeOfDay(u.timestamp);
    for (const x of u.values) v[x.path] = x.value;
  }
  const sats = v['navigation.gnss.satellitesInView'];
  if (sats) v['@satellites'] = new Set((sats.satellites || []).map((s) => s.id)).size;
  return v;
}
function nmeaSimple(n) {
  const west = n.variationDirection === 'W' || n.variationPole === 'W';
  return { ...n, '@variation': n.variation * (west ? -1 : 1), '@time': timeOfDay(n.time && n.time.toISOString()),
    '@datetime': n.datetime && n.datetime.toISOString(), '@dop': [n.PDOP, n.HDOP, n.VDOP],
    '@series': [n.numberOfMessages, n.messageNumber, n.satellitesInView] };
}

let checks = 0;
const failures = [];
function expect(ok, msg) {
  checks++;
  if (!ok) failures.push(msg);
}
function compare(ctx, decoded, rows, s) {
  for (const [path, want, agree] of rows) {
    const got = path.split('/').reduce((x, k) => (x == null ? undefined : x[k]), decoded);
    expect(agree(got, want, s), `${ctx}: ${path} decoded ${JSON.stringify(got)}, expected ${JSON.stringify(want)}`);
  }
}
function ownChecksum(s) {
  let x = 0;
  for (let i = 1; i < s.indexOf('*'); i++) x ^= s.charCodeAt(i);
  return x.toString(16).toUpperCase().padStart(2, '0');
}

// gpsd: the values reported, in order and each repeat counted once, are a
// subsequence of the values sent (exact repeats: two values sent one after the
// other may lie within the tolerance of each other), and cover enough of them.
function subsequence(what, got, want, close, minCoverage) {
  const dedupe = (a) => a.filter((x, i) => i === 0 || JSON.stringify(x) !== JSON.stringify(a[i - 1]));
  const g = dedupe(got);
  const w = dedupe(want);
  let j = 0;
  for (const x of g) {
    while (j < w.length && !close(x, w[j])) j++;
    expect(j < w.length, `gpsd ${what}: ${JSON.stringify(x)} reported, not among the values sent (in order)`);
    if (j++ === w.length) return;
  }
  expect(g.length >= minCoverage * w.length, `gpsd ${what}: ${g.length} values reported of ${w.length} sent`);
  console.log(`gpsd ${what}: ${g.length} reported values, ${w.length} sent`);
}

function checkGpsd(lines, reports) {
  const tpv = reports.filter((r) => r.class === 'TPV');
  const att = reports.filter((r) => r.class === 'ATT');
  const sky = reports.filter((r) => r.class === 'SKY');
  // gpsd writes the winds with one decimal (degrees, m/s): its rounding on top of the field's.
  const windAngle = ang(TOL.angle + 0.0501);
  const windSpeed = num(TOL.speed * KN + 0.0501);
  const series = [ // what, reports, key present, value reported, types sent, value sent, closeness, coverage
    ['position', tpv, 'lat', (r) => [r.lat, r.lon], ['GLL', 'RMC'], (e) => [e.lat, e.lon],
      (a, b) => P(a[0], b[0]) && P(a[1], b[1]), 0.9],
    ['time', tpv, 'time', (r) => r.time, ['GLL', 'RMC', 'ZDA'], (e) => e.time, (a, b) => a === b, 0.9],
    ['course', tpv, 'track', (r) => r.track, ['RMC', 'VTG'], (e) => e.cog, ang(TOL.angle + 0.0001), 0.5],
    ['speed', tpv, 'speed', (r) => r.speed, ['RMC', 'VTG'], (e) => e.sog * KN, num(TOL.speed * KN + 0.0005), 0.5],
    ['depth', tpv, 'depth', (r) => r.depth, ['DBT'], (e) => e.depth, num(TOL.depth + 0.0005), 0.9],
    ['heading', att, 'heading', (r) => r.heading, ['HDT'], (e) => e.headingTrue, ang(TOL.angle + 0.0005), 0.9],
    ['apparent wind', tpv, 'wangler', (r) => [r.wangler, r.wspeedr], ['MWV'], (e) => [e.windAngle, e.windSpeed * KN],
      (a, b) => windAngle(a[0], b[0]) && windSpeed(a[1], b[1]), 0.5],
    ['true wind', tpv, 'wanglet', (r) => r.wanglet, ['MWD'], (e) => e.windDirectionTrue, windAngle, 0.5],
  ];
  for (const [what, from, key, reported, types, sent, close, coverage] of series) {
    subsequence(what, from.filter((r) => r[key] !== undefined).map(reported),
      lines.filter((l) => types.includes(l.type)).map((l) => sent(l.e)), close, coverage);
  }
  // The whole satellite series each cycle: twelve in view, the six of GSA used.
  const cycles = new Set(lines.map((l) => l.cycle)).size;
  expect(sky.length >= 0.9 * cycles, `gpsd: ${sky.length} sky reports for ${cycles} cycles`);
  const wrong = sky.find((r) => r.nSat !== 12 || r.uSat !== 6 || (r.satellites || []).length !== 12);
  expect(!wrong, `gpsd sky: ${JSON.stringify(wrong)}`);
  console.log(`gpsd: ${tpv.length} TPV, ${att.length} ATT, ${sky.length} SKY reports`);
}

function main() {
  const [expectedPath, gpsdPath] = process.argv.slice(2);
  if (!expectedPath) {
    console.error('usage: check_consumers.js <expected.jsonl> [<gpsdecode.jsonl>]');
    process.exit(2);
  }
  const readJsonl = (p) => fs.readFileSync(p, 'utf8').split('\n').filter(Boolean).map((t) => JSON.parse(t));
  const lines = readJsonl(expectedPath);
  const sk = new SignalKParser();
  const gsvNumber = new Map(); // GSV messages 1, 2, 3 of each cycle's series, in order
  const decoded = { sk: 0, ns: 0 };
  lines.forEach((l, i) => {
    const s = l.s;
    const c = `#${i + 1} ${s}`;
    l.type = s.slice(3, 6);
    expect(/^\$[A-Z]{2}[A-Z]{3},[\x20-\x7e]*\*[0-9A-F]{2}$/.test(s), `${c}: not a sentence`);
    expect(s.slice(-2) === ownChecksum(s), `${c}: checksum ${s.slice(-2)}, computed ${ownChecksum(s)}`);
    expect(s.length + 2 <= 82, `${c}: ${s.length + 2} characters with CR LF`);
    const msg = l.type === 'GSV' ? (gsvNumber.get(l.cycle) || 0) + 1 : undefined;
    if (msg) gsvNumber.set(l.cycle, msg);
    try {
      const n = nmea.parseUnsafeNmeaSentence(s);
      expect(n.chxOk === true, `${c}: nmea-simple finds the checksum wrong`);
      if (NS[l.type]) {
        compare(`${c} [nmea-simple]`, nmeaSimple(n), NS[l.type](l.e, msg), s);
        decoded.ns++;
      }
    } catch (err) {
      expect(false, `${c}: nmea-simple: ${err.message}`);
    }
    try {
      const k = signalK(sk.parse(s));
      if (SK[l.type]) {
        compare(`${c} [Signal K]`, k, SK[l.type](l.e, msg), s);
        decoded.sk++;
      }
    } catch (err) {
      expect(false, `${c}: Signal K: ${err.message}`);
    }
  });
  console.log(`${lines.length} sentences; Signal K decoded ${decoded.sk}, nmea-simple ${decoded.ns}`);
  if (gpsdPath) checkGpsd(lines, readJsonl(gpsdPath));
  for (const f of failures.slice(0, 40)) console.error(`FAIL ${f}`);
  if (failures.length > 40) console.error(`... and ${failures.length - 40} more`);
  console.log(`${checks - failures.length} passed, ${failures.length} failed`);
  process.exit(failures.length === 0 ? 0 : 1);
}

main();
