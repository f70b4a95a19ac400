// A class of 300 students answering at once through the live class's
// interface, against `ardeno-tool serve` on loopback: every request's
// latency, failures, every score checked against the folder's logs, and the
// server's peak memory.
//
//   node load-class.mjs ARDENO_TOOL [STUDENTS]
import { execFileSync, spawn } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import readline from 'node:readline';

const TOOL = process.argv[2];
const STUDENTS = Number(process.argv[3] || 300);
// The page lets a student answer the next question no sooner than a second
// after the last (the right-answer sound plays to its end, a wrong answer's
// message is closed), and a student reads the question first: each answer
// comes 1 to 2 s after the last, the whole class joining within the first
// second. 0: no pause at all, every request sent as soon as the last one is
// answered (the server's throughput, with the client on the same two cores).
const PAUSE_MS = Number(process.argv[4] ?? 1000);
const QUESTIONS = 10;
const SEP = '\u00a9';
const records = [];
const key = [];
for (let i = 0; i < QUESTIONS; ++i) {
  if (i % 2) { records.push(`t${SEP}Statement ${i + 1}${SEP}none${SEP} ${i % 4 === 1 ? 0 : 1}`); key.push(i % 4 === 1 ? 'True' : 'False'); }
  else { records.push(`m${SEP}Question ${i + 1}${SEP}a${SEP}b${SEP}c${SEP}d${SEP}none${SEP} ${i % 4}`); key.push('ABCD'[i % 4]); }
}
const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'live-bench-'));
const ard = path.join(dir, 'load.ard');
execFileSync(TOOL, ['save', ard], { input: JSON.stringify({ title: 'Load', teacher: 'Bench', records }) });
const results = path.join(dir, 'results');
const server = spawn(TOOL, ['serve', ard, '--results', results, '--bind', '127.0.0.1'],
  { stdio: ['ignore', 'pipe', 'ignore'], env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' } });
const address = new URL(await new Promise((resolve) => readline.createInterface({ input: server.stdout }).once('line', resolve)));

const latencies = [];
const byKind = { join: [], answer: [], finish: [] };
let failures = 0;
function post(agent, what, body) {
  const data = JSON.stringify(body);
  const start = process.hrtime.bigint();
  return new Promise((resolve) => {
    const req = http.request({ host: address.hostname, port: address.port, path: address.pathname + what, method: 'POST', agent,
      headers: { 'Content-Type': 'application/json', 'Content-Length': Buffer.byteLength(data) } }, (res) => {
      let text = '';
      res.on('data', (c) => { text += c; });
      res.on('end', () => {
        const ms = Number(process.hrtime.bigint() - start) / 1e6;
        latencies.push(ms);
        byKind[what].push(ms);
        if (res.statusCode >= 300) ++failures;
        resolve(res.statusCode < 300 ? JSON.parse(text) : null);
      });
    });
    req.on('error', () => { ++failures; resolve(null); });
    req.end(data);
  });
}

const expected = new Map();
let begin = 0;
async function student(n) {
  const agent = new http.Agent({ keepAlive: true, maxSockets: 1 });
  const name = 'Student ' + n;
  if (PAUSE_MS) await new Promise((resolve) => setTimeout(resolve, PAUSE_MS * Math.random()));
  const joined = await post(agent, 'join', { name });
  if (!joined) return;
  let right = 0;
  for (let q = 1; q <= QUESTIONS; ++q) {
    const options = key[q - 1] === 'True' || key[q - 1] === 'False' ? ['True', 'False'] : ['A', 'B', 'C', 'D'];
    const given = options[(n + q) % options.length];
    right += given === key[q - 1];
    if (PAUSE_MS) await new Promise((resolve) => setTimeout(resolve, PAUSE_MS * (1 + Math.random())));
    await post(agent, 'answer', { student: joined.student, question: q, answer: given, ms: 1000 });
  }
  expected.set(name, right);
  await post(agent, 'finish', { student: joined.student, seconds: 60 });
  agent.destroy();
}

begin = Date.now();
await Promise.all(Array.from({ length: STUDENTS }, (_, i) => student(i + 1)));
const wall = (Date.now() - begin) / 1000;
const status = fs.readFileSync(`/proc/${server.pid}/status`, 'utf8');
const peakKb = Number(/VmHWM:\s+(\d+)/.exec(status)[1]);
server.kill('SIGTERM');
await new Promise((resolve) => server.once('exit', resolve));

const json = JSON.parse(execFileSync(TOOL, ['class', '--folder', results, '--json'], { encoding: 'utf8',
  env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' } }));
let wrongScores = 0;
for (const s of json.students) if (expected.get(s.name) !== s.score) ++wrongScores;
latencies.sort((a, b) => a - b);
const pct = (p) => latencies[Math.min(latencies.length - 1, Math.floor(latencies.length * p))].toFixed(1);
console.log(`live class: ${STUDENTS} students, ${latencies.length} requests in ${wall.toFixed(1)} s`
  + (PAUSE_MS ? `, each answering ${PAUSE_MS} to ${2 * PAUSE_MS} ms after the last` : ', without pauses'));
console.log(`  failed requests: ${failures}; results in the folder: ${json.students.length}; scores not as answered: ${wrongScores}`);
console.log(`  latency ms: p50 ${pct(0.5)}, p99 ${pct(0.99)}, max ${latencies[latencies.length - 1].toFixed(1)}`
  + (PAUSE_MS ? ' (goal: p99 within 100)' : ' (300 requests always waiting: the latency is the queue)'));
for (const [kind, list] of Object.entries(byKind)) {
  list.sort((a, b) => a - b);
  console.log(`  ${kind}: p50 ${list[Math.floor(list.length / 2)].toFixed(1)}, p99 ${list[Math.floor(list.length * 0.99)].toFixed(1)} ms`);
}
console.log(`  server peak memory: ${(peakKb / 1024).toFixed(0)} MB (goal: within 300)`);
fs.rmSync(dir, { recursive: true, force: true });
