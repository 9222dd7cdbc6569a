#!/usr/bin/env node
// Feeds a recorded run of sentences to real receivers and checks what they decode.
//
//   node check_consumers.js <expected.jsonl> <gpsdecode.jsonl>
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

const KNOT = 1852 / 3600; // m/s
const DEG = Math.PI / 180;
// Tolerances: half a unit of the field's last decimal, plus the receiver's own rounding.
const TOL = { pos: 1e-6, angle: 0.0051, speed: 0.0051, depth: 0.0051, dist: 0.0051 };

let checks = 0;
const failures = [];
function fail(msg) {
  failures.push(msg);
}
function near(ctx, what, got, want, tol) {
  checks++;
  if (typeof got !== 'number' || !Number.isFinite(got) || Math.abs(got - want) > tol) {
    fail(`${ctx}: ${what} decoded ${got}, expected ${want} (±${tol})`);
  }
}
function angleNear(ctx, what, gotDeg, wantDeg, tol) {
  checks++;
  const d = ((((gotDeg - wantDeg) % 360) + 540) % 360) - 180;
  if (typeof gotDeg !== 'number' || !Number.isFinite(gotDeg) || Math.abs(d) > tol) {
    fail(`${ctx}: ${what} decoded ${gotDeg}, expected ${wantDeg} (±${tol})`);
  }
}
// A name cut to keep the sentence within 82 characters: a non-empty beginning of
// the name, and only when the sentence is then exactly 82 characters long.
function nameNear(ctx, what, got, want, sentence) {
  checks++;
  const whole = got === want;
  const cut = typeof got === 'string' && got.length > 0 && want.startsWith(got) && sentence.length + 2 === 82;
  if (!whole && !cut) fail(`${ctx}: ${what} decoded ${JSON.stringify(got)}, expected ${JSON.stringify(want)}`);
}
function same(ctx, what, got, want) {
  checks++;
  if (JSON.stringify(got) !== JSON.stringify(want)) {
    fail(`${ctx}: ${what} decoded ${JSON.stringify(got)}, expected ${JSON.stringify(want)}`);
  }
}

function ownChecksum(s) {
  let x = 0;
  for (let i = s.indexOf('$') + 1; i < s.indexOf('*'); i++) x ^= s.charCodeAt(i);
  return x.toString(16).toUpperCase().padStart(2, '0');
}

// ---- Signal K: values by path, in SI units (radians, m/s, metres, kelvin).
function signalK(delta) {
  const v = {};
  let timestamp;
  if (delta && delta.updates) {
    for (const u of delta.updates) {
      if (u.timestamp) timestamp = u.timestamp;
      for (const x of u.values) v[x.path] = x.value;
    }
  }
  return { v, timestamp };
}
const rad2deg = (r) => (typeof r === 'number' ? r / DEG : r);
const timeOfDay = (iso) => (typeof iso === 'string' ? iso.slice(11, 19) : iso);

const skChecks = {
  DPT(c, k, e) {
    near(c, 'belowTransducer', k.v['environment.depth.belowTransducer'], e.depth, TOL.depth);
    near(c, 'surfaceToTransducer', k.v['environment.depth.surfaceToTransducer'], e.offset, TOL.depth);
    near(c, 'belowSurface', k.v['environment.depth.belowSurface'], e.depth + e.offset, 2 * TOL.depth);
  },
  DBS(c, k, e) { near(c, 'belowSurface', k.v['environment.depth.belowSurface'], e.depth, TOL.depth); },
  DBT(c, k, e) { near(c, 'belowTransducer', k.v['environment.depth.belowTransducer'], e.depth, TOL.depth); },
  DBK(c, k, e) { near(c, 'belowKeel', k.v['environment.depth.belowKeel'], e.depth, TOL.depth); },
  HDG(c, k, e) {
    angleNear(c, 'headingMagnetic', rad2deg(k.v['navigation.headingMagnetic']), e.headingMagnetic, TOL.angle);
    near(c, 'magneticVariation', rad2deg(k.v['navigation.magneticVariation']), e.variation, 1e-6);
  },
  HDM(c, k, e) {
    angleNear(c, 'headingMagnetic', rad2deg(k.v['navigation.headingMagnetic']), e.headingMagnetic, TOL.angle);
  },
  HDT(c, k, e) { angleNear(c, 'headingTrue', rad2deg(k.v['navigation.headingTrue']), e.headingTrue, TOL.angle); },
  MWV(c, k, e) {
    angleNear(c, 'angleApparent', rad2deg(k.v['environment.wind.angleApparent']), e.windAngle, TOL.angle);
    near(c, 'speedApparent', k.v['environment.wind.speedApparent'], e.windSpeed * KNOT, TOL.speed * KNOT);
  },
  MWD(c, k, e) {
    angleNear(c, 'directionTrue', rad2deg(k.v['environment.wind.directionTrue']), e.windDirectionTrue, TOL.angle);
    angleNear(c, 'directionMagnetic', rad2deg(k.v['environment.wind.directionMagnetic']),
      e.windDirectionMagnetic, TOL.angle);
    near(c, 'speedTrue', k.v['environment.wind.speedTrue'], e.windSpeedTrue * KNOT, TOL.speed);
  },
  VHW(c, k, e) {
    angleNear(c, 'headingTrue', rad2deg(k.v['navigation.headingTrue']), e.headingTrue, TOL.angle);
    angleNear(c, 'headingMagnetic', rad2deg(k.v['navigation.headingMagnetic']), e.headingMagnetic, TOL.angle);
    near(c, 'speedThroughWater', k.v['navigation.speedThroughWater'], e.speed * KNOT, TOL.speed * KNOT);
  },
  GLL(c, k, e) {
    const p = k.v['navigation.position'] || {};
    near(c, 'latitude', p.latitude, e.lat, TOL.pos);
    near(c, 'longitude', p.longitude, e.lon, TOL.pos);
    same(c, 'time of day', timeOfDay(k.timestamp), timeOfDay(e.time));
  },
  RMC(c, k, e) {
    skChecks.GLL(c, k, e);
    same(c, 'datetime', k.v['navigation.datetime'], e.time);
    near(c, 'speedOverGround', k.v['navigation.speedOverGround'], e.sog * KNOT, TOL.speed * KNOT);
    angleNear(c, 'courseOverGroundTrue', rad2deg(k.v['navigation.courseOverGroundTrue']), e.cog, TOL.angle);
    near(c, 'magneticVariation', rad2deg(k.v['navigation.magneticVariation']), e.variation, TOL.angle);
  },
  VWR(c, k, e) {
    angleNear(c, 'angleApparent', rad2deg(k.v['environment.wind.angleApparent']), e.windAngle, TOL.angle);
    near(c, 'speedApparent', k.v['environment.wind.speedApparent'], e.windSpeed * KNOT, TOL.speed * KNOT);
  },
  BWC(c, k, e, base = 'navigation.courseGreatCircle') {
    const p = k.v[`${base}.nextPoint.position`] || {};
    near(c, 'waypoint latitude', p.latitude, e.lat, TOL.pos);
    near(c, 'waypoint longitude', p.longitude, e.lon, TOL.pos);
    near(c, 'distance', k.v[`${base}.nextPoint.distance`], e.distance * 1852, TOL.dist * 1852);
    angleNear(c, 'bearingTrackTrue', rad2deg(k.v[`${base}.bearingTrackTrue`]), e.bearingTrue, TOL.angle);
    angleNear(c, 'bearingTrackMagnetic', rad2deg(k.v[`${base}.bearingTrackMagnetic`]), e.bearingMagnetic,
      TOL.angle);
  },
  BWR(c, k, e) { skChecks.BWC(c, k, e, 'navigation.courseRhumbline'); },
  GSV(c, k, e, msgNumber) {
    if (msgNumber !== 3) return; // the parser reports the series at its last message
    const sats = k.v['navigation.gnss.satellitesInView'] || {};
    same(c, 'satellites in view', sats.count, 12);
    same(c, 'satellites listed', new Set((sats.satellites || []).map((s) => s.id)).size, 12);
  },
  RMB(c, k, e) {
    const base = 'navigation.courseRhumbline.nextPoint';
    same(c, 'destination', k.v[`${base}.ID`], e.waypoint);
    const p = k.v[`${base}.position`] || {};
    near(c, 'waypoint latitude', p.latitude, e.lat, TOL.pos);
    near(c, 'waypoint longitude', p.longitude, e.lon, TOL.pos);
    near(c, 'distance', k.v[`${base}.distance`], e.distance * 1852, TOL.dist * 1852);
    angleNear(c, 'bearingTrue', rad2deg(k.v[`${base}.bearingTrue`]), e.bearingTrue, TOL.angle);
    // The parser reads a closing speed below zero (sailing away) as 0.
    near(c, 'velocityMadeGood', k.v[`${base}.velocityMadeGood`], Math.max(0, e.vmg) * KNOT, TOL.speed * KNOT);
  },
  APB(c, k, e) {
    const base = 'navigation.courseRhumbline';
    if (e.bearingOrigin === undefined) {
      checks++;
      const b = k.v[`${base}.bearingOriginToDestinationTrue`];
      if (typeof b === 'number' && Number.isFinite(b)) fail(`${c}: a bearing origin to destination ${b} was decoded`);
    } else {
      angleNear(c, 'bearingOriginToDestinationTrue', rad2deg(k.v[`${base}.bearingOriginToDestinationTrue`]),
        e.bearingOrigin, TOL.angle);
    }
    angleNear(c, 'bearingToDestinationTrue', rad2deg(k.v[`${base}.bearingToDestinationTrue`]), e.bearingTrue,
      TOL.angle);
    same(c, 'destination', k.v[`${base}.nextPoint.ID`], e.waypoint);
    angleNear(c, 'heading to steer', rad2deg(k.v['steering.autopilot.target.headingMagnetic']), e.headingToSteer,
      TOL.angle);
  },
  MTW(c, k, e) { near(c, 'water temperature', k.v['environment.water.temperature'], e.temperature + 273.15, 0.0051); },
  VTG(c, k, e) {
    angleNear(c, 'courseOverGroundTrue', rad2deg(k.v['navigation.courseOverGroundTrue']), e.cog, TOL.angle);
    angleNear(c, 'courseOverGroundMagnetic', rad2deg(k.v['navigation.courseOverGroundMagnetic']), e.cogMagnetic,
      TOL.angle);
    near(c, 'speedOverGround', k.v['navigation.speedOverGround'], e.sog * KNOT, TOL.speed * KNOT);
  },
  ZDA(c, k, e) { same(c, 'datetime', k.v['navigation.datetime'], e.time); },
};

const nsChecks = {
  DBT(c, n, e) { near(c, 'depthMeters', n.depthMeters, e.depth, TOL.depth); },
  HDG(c, n, e) {
    angleNear(c, 'heading', n.heading, e.headingMagnetic, TOL.angle);
    near(c, 'variation', n.variation * (n.variationDirection === 'W' ? -1 : 1), e.variation, 1e-9);
  },
  HDM(c, n, e) { angleNear(c, 'heading', n.heading, e.headingMagnetic, TOL.angle); },
  HDT(c, n, e) { angleNear(c, 'heading', n.heading, e.headingTrue, TOL.angle); },
  MWV(c, n, e) {
    angleNear(c, 'windAngle', n.windAngle, e.windAngle, TOL.angle);
    same(c, 'reference', n.reference, 'relative');
    near(c, 'speed', n.speed, e.windSpeed, TOL.speed);
  },
  VHW(c, n, e) {
    angleNear(c, 'degreesTrue', n.degreesTrue, e.headingTrue, TOL.angle);
    angleNear(c, 'degreesMagnetic', n.degreesMagnetic, e.headingMagnetic, TOL.angle);
    near(c, 'speedKnots', n.speedKnots, e.speed, TOL.speed);
  },
  GLL(c, n, e) {
    near(c, 'latitude', n.latitude, e.lat, TOL.pos);
    near(c, 'longitude', n.longitude, e.lon, TOL.pos);
    same(c, 'time of day', timeOfDay(n.time && n.time.toISOString()), timeOfDay(e.time));
  },
  RMC(c, n, e) {
    near(c, 'latitude', n.latitude, e.lat, TOL.pos);
    near(c, 'longitude', n.longitude, e.lon, TOL.pos);
    same(c, 'datetime', n.datetime && n.datetime.toISOString(), e.time);
    near(c, 'speedKnots', n.speedKnots, e.sog, TOL.speed);
    angleNear(c, 'trackTrue', n.trackTrue, e.cog, TOL.angle);
    near(c, 'variation', n.variation * (n.variationPole === 'W' ? -1 : 1), e.variation, TOL.angle);
  },
  BWC(c, n, e, msg, s) {
    near(c, 'bearingLatitude', n.bearingLatitude, e.lat, TOL.pos);
    near(c, 'bearingLongitude', n.bearingLongitude, e.lon, TOL.pos);
    angleNear(c, 'bearingTrue', n.bearingTrue, e.bearingTrue, TOL.angle);
    angleNear(c, 'bearingMagnetic', n.bearingMagnetic, e.bearingMagnetic, TOL.angle);
    near(c, 'distanceNm', n.distanceNm, e.distance, TOL.dist);
    nameNear(c, 'waypointId', n.waypointId, e.waypoint, s);
  },
  GSA(c, n) {
    same(c, 'satellites', n.satellites, [13, 15, 20, 21, 28, 30]);
    same(c, 'DOP', [n.PDOP, n.HDOP, n.VDOP], [4, 3.1, 2.4]);
  },
  GSV(c, n, e, msgNumber) {
    same(c, 'message', [n.numberOfMessages, n.messageNumber, n.satellitesInView], [3, msgNumber, 12]);
    same(c, 'satellites in the message', n.satellites.length, 4);
  },
  APB(c, n, e) {
    if (e.bearingOrigin === undefined) {
      checks++;
      if (Number.isFinite(n.bearingOrig2Dest)) fail(`${c}: bearingOrig2Dest ${n.bearingOrig2Dest} was decoded`);
    } else {
      angleNear(c, 'bearingOrig2Dest', n.bearingOrig2Dest, e.bearingOrigin, TOL.angle);
    }
    angleNear(c, 'bearing2Dest', n.bearing2Dest, e.bearingTrue, TOL.angle);
    angleNear(c, 'heading2steer', n.heading2steer, e.headingToSteer, TOL.angle);
    same(c, 'waypoint', n.waypoint, e.waypoint);
  },
  VTG(c, n, e) {
    angleNear(c, 'trackTrue', n.trackTrue, e.cog, TOL.angle);
    angleNear(c, 'trackMagnetic', n.trackMagnetic, e.cogMagnetic, TOL.angle);
    near(c, 'speedKnots', n.speedKnots, e.sog, TOL.speed);
  },
  ZDA(c, n, e) {
    same(c, 'datetime', n.datetime && n.datetime.toISOString(), e.time);
    same(c, 'localZoneHours', n.localZoneHours, e.zoneHours);
  },
};

// ---- gpsd: the reported values, in order, are a subsequence of the values sent.
function subsequence(what, got, want, close, minCoverage) {
  // Repeated reports of one value count once (exact repeats: two values sent one
  // after the other may lie within the tolerance of each other).
  const dedupe = (a) => a.filter((x, i) => i === 0 || JSON.stringify(x) !== JSON.stringify(a[i - 1]));
  const g = dedupe(got);
  const w = dedupe(want);
  let j = 0;
  for (const x of g) {
    while (j < w.length && !close(x, w[j])) j++;
    checks++;
    if (j === w.length) {
      fail(`gpsd ${what}: ${JSON.stringify(x)} reported, not among the values sent (in order)`);
      return;
    }
    j++;
  }
  checks++;
  if (g.length < minCoverage * w.length) {
    fail(`gpsd ${what}: ${g.length} values reported of ${w.length} sent`);
  }
  console.log(`gpsd ${what}: ${g.length} reported values, ${w.length} sent`);
}

function checkGpsd(lines, gpsdReports) {
  const tpv = gpsdReports.filter((r) => r.class === 'TPV');
  const att = gpsdReports.filter((r) => r.class === 'ATT');
  const sky = gpsdReports.filter((r) => r.class === 'SKY');
  const sent = (types, f) => lines.filter((l) => types.includes(l.type)).map((l) => f(l.e));
  const num = (tol) => (a, b) => Math.abs(a - b) <= tol;
  const ang = (tol) => (a, b) => Math.abs(((((a - b) % 360) + 540) % 360) - 180) <= tol;
  const pos = (a, b) => Math.abs(a[0] - b[0]) <= TOL.pos && Math.abs(a[1] - b[1]) <= TOL.pos;
  const has = (k) => (r) => r[k] !== undefined;

  subsequence('position', tpv.filter(has('lat')).map((r) => [r.lat, r.lon]),
    sent(['GLL', 'RMC'], (e) => [e.lat, e.lon]), pos, 0.9);
  subsequence('time', tpv.filter(has('time')).map((r) => r.time), sent(['GLL', 'RMC', 'ZDA'], (e) => e.time),
    (a, b) => a === b, 0.9);
  subsequence('course', tpv.filter(has('track')).map((r) => r.track), sent(['RMC', 'VTG'], (e) => e.cog),
    ang(TOL.angle + 0.0001), 0.5);
  subsequence('speed', tpv.filter(has('speed')).map((r) => r.speed), sent(['RMC', 'VTG'], (e) => e.sog * KNOT),
    num(TOL.speed * KNOT + 0.0005), 0.5);
  subsequence('depth', tpv.filter(has('depth')).map((r) => r.depth), sent(['DBT'], (e) => e.depth),
    num(TOL.depth + 0.0005), 0.9);
  subsequence('heading', att.filter(has('heading')).map((r) => r.heading), sent(['HDT'], (e) => e.headingTrue),
    ang(TOL.angle + 0.0005), 0.9);
  // gpsd writes the winds with one decimal (degrees, m/s): its rounding on top of the field's.
  const windAngle = ang(TOL.angle + 0.0501);
  const windSpeed = num(TOL.speed * KNOT + 0.0501);
  subsequence('apparent wind', tpv.filter(has('wangler')).map((r) => [r.wangler, r.wspeedr]),
    sent(['MWV'], (e) => [e.windAngle, e.windSpeed * KNOT]), (a, b) => windAngle(a[0], b[0]) && windSpeed(a[1], b[1]),
    0.5);
  subsequence('true wind', tpv.filter(has('wanglet')).map((r) => r.wanglet),
    sent(['MWD'], (e) => e.windDirectionTrue), windAngle, 0.5);
  // The whole satellite series each cycle: twelve in view, the six of GSA used.
  const cycles = new Set(lines.map((l) => l.cycle)).size;
  checks++;
  if (sky.length < 0.9 * cycles) fail(`gpsd: ${sky.length} sky reports for ${cycles} cycles`);
  for (const r of sky) {
    checks++;
    if (r.nSat !== 12 || r.uSat !== 6 || (r.satellites || []).length !== 12) {
      fail(`gpsd sky: ${r.nSat} in view, ${r.uSat} used, ${(r.satellites || []).length} listed`);
      break;
    }
  }
  console.log(`gpsd: ${tpv.length} TPV, ${att.length} ATT, ${sky.length} SKY reports`);
}

function main() {
  const [expectedPath, gpsdPath] = process.argv.slice(2);
  if (!expectedPath) {
    console.error('usage: check_consumers.js <expected.jsonl> [<gpsdecode.jsonl>]');
    process.exit(2);
  }
  const lines = fs.readFileSync(expectedPath, 'utf8').split('\n').filter(Boolean).map((t) => JSON.parse(t));
  const sk = new SignalKParser();
  const gsvNumber = new Map();
  const decoded = { sk: 0, ns: 0 };
  lines.forEach((l, i) => {
    const s = l.s;
    l.type = s.slice(3, 6);
    const c = `#${i + 1} ${s}`;
    // The frame.
    checks++;
    if (!/^\$[A-Z]{2}[A-Z]{3},[\x20-\x7e]*\*[0-9A-F]{2}$/.test(s)) fail(`${c}: not a sentence`);
    same(c, 'checksum', s.slice(-2), ownChecksum(s));
    checks++;
    if (s.length + 2 > 82) fail(`${c}: ${s.length + 2} characters with CR LF`);
    // GSV messages 1, 2, 3 of each series, in order.
    let msgNumber;
    if (l.type === 'GSV') {
      msgNumber = (gsvNumber.get(l.cycle) || 0) + 1;
      gsvNumber.set(l.cycle, msgNumber);
    }
    // nmea-simple.
    let n;
    try {
      n = nmea.parseUnsafeNmeaSentence(s);
    } catch (err) {
      fail(`${c}: nmea-simple: ${err.message}`);
    }
    if (n) {
      same(c, 'nmea-simple checksum', n.chxOk, true);
      if (nsChecks[l.type]) {
        nsChecks[l.type](`${c} [nmea-simple]`, n, l.e, msgNumber, s);
        decoded.ns++;
      }
    }
    // Signal K.
    let k;
    try {
      k = signalK(sk.parse(s));
    } catch (err) {
      fail(`${c}: Signal K: ${err.message}`);
    }
    if (k && skChecks[l.type]) {
      skChecks[l.type](`${c} [Signal K]`, k, l.e, msgNumber);
      decoded.sk++;
    }
  });
  console.log(`${lines.length} sentences; Signal K decoded ${decoded.sk}, nmea-simple ${decoded.ns}`);
  if (gpsdPath) {
    const reports = fs.readFileSync(gpsdPath, 'utf8').split('\n').filter(Boolean).map((t) => JSON.parse(t));
    checkGpsd(lines, reports);
  }
  for (const f of failures.slice(0, 40)) console.error(`FAIL ${f}`);
  if (failures.length > 40) console.error(`... and ${failures.length - 40} more`);
  console.log(`${checks - failures.length} passed, ${failures.length} failed`);
  process.exit(failures.length === 0 ? 0 : 1);
}

main();
