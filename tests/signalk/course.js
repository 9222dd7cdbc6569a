#!/usr/bin/env node
// The plotter side of tests/app/headless_signalk.sh, through the server's own API
// and sockets (all on 127.0.0.1).
//
//   node course.js set HTTP_PORT DISTANCE_NM BEARING_DEG SECONDS
//     waits (at most SECONDS) until the server knows the boat's position, sets a
//     destination DISTANCE_NM away on BEARING_DEG (true) through the course API and
//     prints "LAT LON NAME" of the destination the server then reports.
//   node course.js watch OUR_PORT SERVER_NMEA_PORT SECONDS LAT LON NAME COPY
//     reads our sentences and the server's at once for at most SECONDS, writes the
//     server's in COPY, and checks that its APB, RMB and XTE name the destination
//     and bear toward it from the position we were sending.
'use strict';

const fs = require('fs');
const net = require('net');

const rad = (d) => (d * Math.PI) / 180;
const deg = (r) => (r * 180) / Math.PI;
const norm360 = (a) => ((a % 360) + 360) % 360;
const angleGap = (a, b) => Math.abs(((a - b + 540) % 360) - 180);

// Bearing (degrees true) and distance (nautical miles) from one position to another
// (decimal degrees), flat over the few cables these tests cover.
function bearingRange(lat1, lon1, lat2, lon2) {
  const north = (lat2 - lat1) * 60;
  const east = (lon2 - lon1) * 60 * Math.cos(rad((lat1 + lat2) / 2));
  return [norm360(deg(Math.atan2(east, north))), Math.hypot(north, east)];
}

// "ddmm.mmmm", "N" -> decimal degrees.
function nmeaDegrees(value, hemisphere) {
  const v = Number(value);
  const d = Math.trunc(v / 100);
  const x = d + (v - 100 * d) / 60;
  return hemisphere === 'S' || hemisphere === 'W' ? -x : x;
}

function checksumOk(s) {
  const star = s.lastIndexOf('*');
  if (!/^\$[A-Z]{5},/.test(s) || star < 0 || star !== s.length - 3) return false;
  let x = 0;
  for (let i = 1; i < star; i++) x ^= s.charCodeAt(i);
  return x.toString(16).toUpperCase().padStart(2, '0') === s.slice(star + 1);
}

async function api(port, method, path, body) {
  const res = await fetch(`http://127.0.0.1:${port}${path}`, {
    method,
    headers: body ? { 'Content-Type': 'application/json' } : {},
    body: body ? JSON.stringify(body) : undefined,
    signal: AbortSignal.timeout(5000),
  });
  const text = await res.text();
  return { status: res.status, json: text ? JSON.parse(text) : null };
}

async function setCourse([port, distance, bearing, seconds]) {
  const end = Date.now() + Number(seconds) * 1000;
  let position = null;
  let last = 'no answer';
  while (!position && Date.now() < end) {
    try {
      const r = await api(port, 'GET', '/signalk/v1/api/vessels/self/navigation/position');
      if (r.status === 200 && typeof r.json?.value?.latitude === 'number') position = r.json.value;
      else last = `status ${r.status}`;
    } catch (err) {
      last = err.message;
    }
    if (!position) await new Promise((ok) => setTimeout(ok, 500));
  }
  if (!position) throw new Error(`the server did not learn the boat's position within ${seconds} s (${last})`);
  const d = Number(distance) / 60;
  const latitude = position.latitude + d * Math.cos(rad(Number(bearing)));
  const longitude = position.longitude + (d * Math.sin(rad(Number(bearing)))) / Math.cos(rad(position.latitude));
  const put = await api(port, 'PUT', '/signalk/v2/api/vessels/self/navigation/course/destination',
    { position: { latitude, longitude } });
  if (put.status !== 200) throw new Error(`the course API refused the destination: ${put.status} ${JSON.stringify(put.json)}`);
  const course = await api(port, 'GET', '/signalk/v2/api/vessels/self/navigation/course');
  const next = course.json?.nextPoint;
  if (!next?.position || Math.abs(next.position.latitude - latitude) > 1e-9 ||
      Math.abs(next.position.longitude - longitude) > 1e-9) {
    throw new Error(`the server reports another destination: ${JSON.stringify(course.json)}`);
  }
  console.log(`${latitude.toFixed(9)} ${longitude.toFixed(9)} ${next.name ?? ''}`);
}

// Reads the lines of a TCP server on 127.0.0.1, handing each to onLine.
function lines(port, onLine) {
  const socket = net.connect(Number(port), '127.0.0.1');
  let rest = '';
  socket.setEncoding('latin1');
  socket.on('data', (d) => {
    const parts = (rest + d).split(/\r?\n/);
    rest = parts.pop();
    parts.forEach(onLine);
  });
  socket.on('error', (err) => console.error(`course.js: port ${port}: ${err.message}`));
  return socket;
}

function watch([ourPort, serverPort, seconds, lat, lon, name, copyPath]) {
  const dest = [Number(lat), Number(lon)];
  const failures = [];
  const copy = [];
  const seen = { APB: 0, RMB: 0, XTE: 0 };
  let boat = null; // [lat, lon, east variation] of our last RMC

  const ours = lines(ourPort, (s) => {
    const f = s.split('*')[0].split(',');
    if (/^\$..RMC$/.test(f[0]) && f[2] === 'A') {
      const variation = f[10] === '' ? 0 : Number(f[10]) * (f[11] === 'W' ? -1 : 1);
      boat = [nmeaDegrees(f[3], f[4]), nmeaDegrees(f[5], f[6]), variation];
    }
  });
  // Checks of one sentence of the server: [what, holds] for each of its fields that matter.
  const checks = {
    APB: (f, trueBearing) => [
      ['status A A', f[1] === 'A' && f[2] === 'A'],
      [`destination ${name}`, f[10] === name],
      ['bearings magnetic', f[9] === 'M' && f[12] === 'M' && f[14] === 'M'],
      ['bearing to the destination', angleGap(Number(f[11]) + boat[2], trueBearing) <= 5],
      ['heading to steer = bearing to the destination', f[13] === f[11]],
    ],
    RMB: (f, trueBearing, range) => [
      ['status A', f[1] === 'A'],
      [`destination ${name}`, f[4] === name],
      ['destination position',
        Math.abs(nmeaDegrees(f[6], f[7]) - dest[0]) < 2e-6 && Math.abs(nmeaDegrees(f[8], f[9]) - dest[1]) < 2e-6],
      ['range', Math.abs(Number(f[10]) - range) <= 0.02], // the server's position is a few seconds old
      ['bearing (true)', angleGap(Number(f[11]), trueBearing) <= 5],
    ],
    XTE: (f) => [
      ['status A A', f[1] === 'A' && f[2] === 'A'],
      ['cross-track error in nautical miles', /^\d+\.\d{3}$/.test(f[3]) && /^[LR]$/.test(f[4]) && f[5] === 'N'],
    ],
  };
  const server = lines(serverPort, (s) => {
    copy.push(s);
    if (!checksumOk(s)) {
      failures.push(`not a sentence with its checksum: ${s}`);
      return;
    }
    const f = s.split('*')[0].split(',');
    const type = f[0].slice(3);
    if (f[0].slice(1, 3) !== 'II') failures.push(`not a sentence of the plug-in (talker II): ${s}`);
    if (!(type in checks) || !boat) return;
    seen[type]++;
    const [trueBearing, range] = bearingRange(boat[0], boat[1], dest[0], dest[1]);
    for (const [what, holds] of checks[type](f, trueBearing, range)) {
      if (!holds) failures.push(`${type} ${what}: ${s} (from our position: ${trueBearing.toFixed(1)} °T, ` +
        `${range.toFixed(3)} nm, variation ${boat[2]})`);
    }
    if (seen.APB >= 5 && seen.RMB >= 2 && seen.XTE >= 2) done();
  });
  const timer = setTimeout(done, Number(seconds) * 1000);
  function done() {
    clearTimeout(timer);
    ours.destroy();
    server.destroy();
    fs.writeFileSync(copyPath, copy.map((s) => `${s}\r\n`).join(''));
    for (const [type, n] of Object.entries(seen)) {
      if (n === 0) failures.push(`no ${type} from the server within ${seconds} s`);
    }
    console.log(`server sentences: ${Object.entries(seen).map(([t, n]) => `${n} ${t}`).join(', ')}`);
    for (const f of failures.slice(0, 20)) console.error(`FAIL ${f}`);
    process.exit(failures.length === 0 ? 0 : 1);
  }
}

const [command, ...args] = process.argv.slice(2);
if (command === 'set') {
  setCourse(args).catch((err) => {
    console.error(`course.js: ${err.message}`);
    process.exit(1);
  });
} else if (command === 'watch') {
  watch(args);
} else {
  console.error('usage: course.js set HTTP_PORT DISTANCE_NM BEARING_DEG SECONDS | ' +
    'watch OUR_PORT SERVER_NMEA_PORT SECONDS LAT LON NAME COPY');
  process.exit(2);
}
