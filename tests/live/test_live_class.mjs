// A live class in real browsers: pages join through the address the QR code
// holds, answer with the feedback coming from the teacher's computer, lose
// nothing when the computer is killed and started again mid-answer or the
// page is reloaded, and say the result reached the teacher only once it is
// in the results folder, where Class Results reads it.
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import path from 'node:path';
import readline from 'node:readline';
import * as q from '../webquiz/quizbrowser.mjs';

const S = q.SEP;
const TEST = {
  title: 'Rivers', teacher: 'Class 3',
  records: [
    `m${S}Longest river?${S}Thames${S}Rhine${S}Nile${S}Seine${S}none${S} 2`,
    `t${S}The Rhine flows into the Black Sea.${S}none${S} 1`,
    `m${S}Which flows through Paris?${S}Seine${S}Po${S}Tiber${S}Ebro${S}none${S} 0`,
  ],
};
let browser, dir, ard, results, server;

// A port no one listens on now: other tests' servers take the usual ones
// (8080, 8000 to 8099) meanwhile. The same port again after the restart.
let port = 0;
async function freePort() {
  const probe = net.createServer();
  await new Promise((resolve) => probe.listen(0, '127.0.0.1', resolve));
  const { port: free } = probe.address();
  await new Promise((resolve) => probe.close(resolve));
  return free;
}

function serve(folder = results, on = port, ...extra) {
  // Every student here joins from this one computer: more than the three a
  // minute one device may.
  const child = spawn(q.TOOL, ['serve', ard, '--results', folder, '--bind', '127.0.0.1', '--port', String(on),
    '--qr', path.join(dir, 'qr.png'), '--joins-per-minute', '100', ...extra],
    { stdio: ['ignore', 'pipe', 'ignore'], env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' } });
  const lines = readline.createInterface({ input: child.stdout });
  const address = new Promise((resolve, reject) => {
    lines.once('line', resolve);
    child.once('exit', () => reject(new Error('serve ended')));
  });
  return { child, address, lines };
}

async function stop(s, signal = 'SIGTERM') {
  if (s.child.exitCode !== null) return s.child.exitCode;
  const ended = new Promise((resolve) => s.child.once('exit', (code) => resolve(code)));
  s.child.kill(signal);
  return ended;
}

// A student's page at the address, in a browser of its own (students bring
// their own devices): nothing but the teacher's computer, data: and blob:
// may be asked for.
async function openStudent(address) {
  const page = await (await browser.createBrowserContext()).newPage();
  await page.setViewport({ width: 412, height: 860 });
  const origin = new URL(address).origin;
  const blocked = [];
  const errors = [];
  await page.setRequestInterception(true);
  page.on('request', (r) => {
    const u = r.url();
    if (u.startsWith(origin + '/') || u.startsWith('data:') || u.startsWith('blob:')) r.continue();
    else { blocked.push(u); r.abort(); }
  });
  page.on('pageerror', (e) => errors.push(String(e)));
  await page.goto(address, { waitUntil: 'load' });
  return { page, blocked, errors };
}

async function join(page, name) {
  await page.bringToFront();   // keys go to the page in front
  await page.waitForFunction(() => document.activeElement && document.activeElement.id === 'join-name');
  await page.keyboard.type(name);
  await page.keyboard.press('Enter');
  await q.waitAnswerable(page);
}

// Answers the question shown; a wrong answer's message is closed.
async function answer(page, index) {
  await q.clickOption(page, index);
  await page.waitForFunction(() => !document.getElementById('message').hidden
    || document.getElementById('quiz').dataset.ready === 'yes' || !document.getElementById('report').hidden,
  { timeout: 60000 });
  if (!(await page.$eval('#message', (m) => m.hidden))) {
    const said = await q.text(page, '#message-text');
    await q.closeMessage(page);
    return said;
  }
  return '';
}

async function reached(page) {
  await page.waitForFunction(() => document.getElementById('platform-note').textContent
    === 'Your result has reached your teacher.', { timeout: 60000 });
}

before(async () => {
  browser = await q.launch();
  dir = q.tempDir('live');
  ard = path.join(dir, 'rivers.ard');
  q.tool(['save', ard], { input: JSON.stringify(TEST) });
  results = path.join(dir, 'Rivers results');
  port = await freePort();
  server = serve();
});
after(async () => {
  await browser?.close();
  if (server) await stop(server);
});

describe('a live class', () => {
  it('takes a class of browsers through the QR code to their results in the folder', async () => {
    const address = await server.address;
    const decoded = execFileSync('zbarimg', ['--raw', '-q', path.join(dir, 'qr.png')], { encoding: 'utf8' }).trim();
    assert.equal(decoded, address);
    const students = [['Anna', [2, 1, 0]], ['Ben', [0, 1, 0]], ['Дмитрий', [2, 0, 3]]];
    const pages = await Promise.all(students.map(() => openStudent(decoded)));
    for (const [i, { page }] of pages.entries()) await join(page, students[i][0]);
    for (const [i, { page }] of pages.entries()) {
      await page.bringToFront();
      const said = [];
      for (const index of students[i][1]) said.push(await answer(page, index));
      if (i === 1) assert.equal(said[0], 'The correct answer was C. Nile');
      await reached(page);
      assert.equal(await q.text(page, '#report-lines p'), `You got ${[3, 2, 1][i]} correct out of 3 total questions.`);
    }
    for (const { blocked, errors } of pages) assert.deepEqual([blocked, errors], [[], []]);
    const logs = fs.readdirSync(results).filter((f) => f.endsWith('.log')).sort();
    assert.deepEqual(logs, ['Rivers - Anna.log', 'Rivers - Ben.log', 'Rivers - Дмитрий.log']);
    const json = JSON.parse(q.tool(['class', '--folder', results, '--json']));
    const byName = Object.fromEntries(json.students.map((s) => [s.name, s.score]));
    assert.deepEqual(byName, { Anna: 3, Ben: 2, Дмитрий: 1 }, 'names as typed');
    assert.equal(json.test.id, q.testId(ard));
    for (const { page } of pages) await page.close();
  });

  it('keeps an answer given while the computer is gone, and a reload goes on where the student stood', async () => {
    const address = await server.address;
    const { page, errors } = await openStudent(address);
    await join(page, 'Cara');
    await answer(page, 2);                        // right, reached the computer
    await stop(server, 'SIGKILL');
    await q.clickOption(page, 1);                 // False: right, sent into the void
    await page.waitForFunction(() => !document.getElementById('live-note').hidden, { timeout: 20000 });
    server = serve();
    assert.equal(await server.address, address, 'the same address after the restart');
    await page.waitForFunction(() => document.getElementById('live-note').hidden, { timeout: 20000 });
    await q.waitAnswerable(page);
    assert.equal(await q.text(page, '#score'), 'Score: 2 correct of 3 total.');

    page.on('dialog', (d) => d.accept());
    await page.reload({ waitUntil: 'load' });
    await page.waitForFunction(() => document.getElementById('resume-text').textContent !== '');
    assert.equal(await q.text(page, '#resume-text'),
      'You have already begun this quiz: you are at question 3, with 2 correct so far.');
    await page.click('#continue-button');
    await q.waitAnswerable(page);
    await answer(page, 1);                        // wrong
    await reached(page);
    assert.deepEqual(errors, []);
    const json = JSON.parse(q.tool(['class', path.join(results, 'Rivers - Cara.log'), '--json']));
    assert.deepEqual(json.students[0].answers, ['C', 'False', 'B']);

    // The report showed every right answer: "Start again" after a reload
    // is refused, and the attempt kept stays.
    await page.reload({ waitUntil: 'load' });
    await page.waitForFunction(() => document.getElementById('resume-text').textContent !== '');
    await page.click('#restart-button');
    await page.waitForFunction(() => !document.getElementById('message').hidden, { timeout: 20000 });
    assert.match(await q.text(page, '#message-text'), /^That name is in use in this class\./);
    await page.click('#message-ok');
    await page.waitForFunction(() => document.getElementById('message').hidden);
    await page.reload({ waitUntil: 'load' });
    await page.waitForFunction(() => document.getElementById('resume-text').textContent !== '');
    assert.equal(await q.text(page, '#resume-text'),
      'You have already begun this quiz: you are at the report, with 2 correct so far.');
    assert.deepEqual(fs.readdirSync(results).filter((f) => f.includes('Cara')), ['Rivers - Cara.log']);
    await page.close();
  });

  it('never has a right answer in the page before it is answered', async () => {
    const address = await server.address;
    const { page } = await openStudent(address);
    const replies = [];
    page.on('response', async (r) => { if (r.request().method() === 'POST') replies.push(await r.text()); });
    await join(page, 'Dee');
    const html = await page.evaluate(() => document.documentElement.outerHTML);
    assert.ok(!/Nile|Seine/.test(replies.join('')), 'the join says nothing of the answers');
    const inPage = await page.evaluate(() => JSON.stringify(window.localStorage));
    assert.ok(!inPage.includes('right'), 'nothing kept before an answer holds one');
    assert.ok(!html.includes('"correct"'));
    await answer(page, 2);
    assert.equal(replies.length, 2);
    assert.deepEqual(JSON.parse(replies[1]), { correct: true, given: 'C', question: 1, right: 'C', score: 1 });
    // Nothing the page holds depends on the right answers: it names the
    // test by a random class id, not by a digest of the test's file.
    const id = await page.evaluate(() => Object.keys(window.localStorage).find((k) => k.startsWith('ardeno-quiz:')));
    assert.ok(!id.includes(q.testId(ard)), id);
    await page.close();
  });

  it('ends: pages still inside are told, and the tool ends on SIGTERM with 0', async () => {
    const address = await server.address;
    const { page } = await openStudent(address);
    await join(page, 'Eve');
    assert.equal(await stop(server), 0);
    server = null;
    await q.clickOption(page, 0);
    await page.waitForFunction(() => !document.getElementById('live-note').hidden, { timeout: 20000 });
    await page.close();
  });
});

describe('a live class in an order of each student\'s own', () => {
  it('takes answers in any order and keeps every result in the test\'s order', async () => {
    const folder = path.join(dir, 'Shuffled results');
    const shuffled = serve(folder, await freePort(), '--shuffle');
    try {
      const address = await shuffled.address;
      // The right answer of each question, by its text.
      const right = { 'Longest river?': 'Nile', 'The Rhine flows into the Black Sea.': 1,
        'Which flows through Paris?': 'Seine' };
      const orders = [];
      for (const name of ['Anna', 'Ben', 'Cleo', 'Dara']) {
        const { page, errors } = await openStudent(address);
        await join(page, name);
        const order = [];
        for (let place = 0; place < 3; ++place) {
          const frame = await page.evaluate(() => (document.getElementById('multiple').hidden ? 't' : 'm'));
          const text = await q.text(page, frame === 'm' ? '#m-question' : '#t-question');
          // What the student sees: the question, and the answers' order.
          order.push(text + (frame === 'm' ? await page.evaluate(() => [0, 1, 2, 3]
            .map((i) => document.getElementById('m-answer-' + i).textContent).join(',')) : ''));
          const index = frame === 't' ? right[text] : await page.evaluate((wanted) => [0, 1, 2, 3]
            .find((i) => document.getElementById('m-answer-' + i).textContent === wanted), right[text]);
          assert.equal(await answer(page, index), '', `${name}: ${text}`);
        }
        await reached(page);
        assert.deepEqual(errors, []);
        orders.push(order.join('|'));
        await page.close();
      }
      assert.ok(new Set(orders).size > 1, 'not every student in one order');
      const json = JSON.parse(q.tool(['class', '--folder', folder, '--json']));
      for (const s of json.students) {
        assert.equal(s.score, 3, s.name);
        assert.deepEqual(s.answers, ['C', 'False', 'A'], `${s.name}: in the test's order and letters`);
      }
    } finally {
      await stop(shuffled);
    }
  });
});
