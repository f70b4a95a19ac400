// The test inside a learning platform: packages of both SCORM versions run
// under scorm-again's runtime in Chromium, served over HTTP as a platform
// serves them. Every call must succeed and every value keep to its
// version's formats; the platform must receive the score, the status, the
// time and each answer, and a student who leaves mid-attempt resumes.
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import * as q from './quizbrowser.mjs';

const S = q.SEP;
const HERE = path.dirname(fileURLToPath(import.meta.url));
const RUNTIME = path.join(process.env.ARDENO_NODE_MODULES, 'scorm-again', 'dist');

// What each version allows in each element the page writes; anything else
// written is a fault. (The runtime checks most of this itself; these are
// the versions' own rules, stricter where the runtime is lenient.)
const DECIMAL = /^-?\d+(\.\d+)?$/;
const RULES = {
  '1.2': [
    [/^cmi\.core\.lesson_status$/, /^(passed|failed|completed|incomplete)$/],
    [/^cmi\.core\.exit$/, /^(suspend|)$/],
    [/^cmi\.core\.session_time$/, /^\d{2,4}:\d{2}:\d{2}(\.\d{1,2})?$/],
    [/^cmi\.core\.score\.(raw|min|max)$/, DECIMAL],
    [/^cmi\.core\.lesson_location$/, /^.{0,255}$/],
    [/^cmi\.suspend_data$/, /^[\s\S]{0,4096}$/],
    [/^cmi\.interactions\.\d+\.id$/, /^[^\s]{1,255}$/],
    [/^cmi\.interactions\.\d+\.type$/, /^(choice|true-false)$/],
    [/^cmi\.interactions\.\d+\.time$/, /^\d{2}:\d{2}:\d{2}(\.\d{1,2})?$/],
    [/^cmi\.interactions\.\d+\.weighting$/, DECIMAL],
    [/^cmi\.interactions\.\d+\.(student_response|correct_responses\.0\.pattern)$/, /^([a-d]|[tf])$/],
    [/^cmi\.interactions\.\d+\.result$/, /^(correct|wrong)$/],
    [/^cmi\.interactions\.\d+\.latency$/, /^\d{2,4}:\d{2}:\d{2}(\.\d{1,2})?$/],
  ],
  '2004': [
    [/^cmi\.completion_status$/, /^(completed|incomplete)$/],
    [/^cmi\.success_status$/, /^(passed|failed|unknown)$/],
    [/^cmi\.exit$/, /^(suspend|normal)$/],
    [/^cmi\.session_time$/, /^PT(\d+H)?(\d+M)?(\d+(\.\d{1,2})?S)?$/],
    [/^cmi\.score\.(raw|min|max)$/, DECIMAL],
    [/^cmi\.score\.scaled$/, /^(-?0(\.\d+)?|-?1(\.0+)?)$/],
    [/^cmi\.location$/, /^.{0,1000}$/],
    [/^cmi\.suspend_data$/, /^[\s\S]{0,64000}$/],
    [/^cmi\.interactions\.\d+\.id$/, /^[^\s]{1,4000}$/],
    [/^cmi\.interactions\.\d+\.type$/, /^(choice|true-false)$/],
    [/^cmi\.interactions\.\d+\.timestamp$/, /^\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}(\.\d{1,2})?$/],
    [/^cmi\.interactions\.\d+\.weighting$/, DECIMAL],
    [/^cmi\.interactions\.\d+\.(learner_response|correct_responses\.0\.pattern)$/, /^([A-D]|true|false)$/],
    [/^cmi\.interactions\.\d+\.result$/, /^(correct|incorrect)$/],
    [/^cmi\.interactions\.\d+\.latency$/, /^PT(\d+H)?(\d+M)?(\d+(\.\d{1,2})?S)?$/],
  ],
};

function checkCalls(calls, version) {
  const v2004 = version === '2004';
  assert.ok(calls.length > 0, 'the page called the platform');
  assert.equal(calls[0].name, v2004 ? 'Initialize' : 'LMSInitialize');
  for (const c of calls) {
    // Asking whether an attempt was kept, where the platform kept none:
    // SCORM 2004 says "not initialized" (403), and the page reads "".
    if (v2004 && c.name === 'GetValue' && c.args[0] === 'cmi.suspend_data' && c.error === '403' && c.result === '')
      continue;
    assert.equal(c.error, '0', `${c.name}(${c.args.join(', ')}) left error ${c.error}`);
    assert.equal(c.result === 'false', false, `${c.name}(${c.args.join(', ')}) failed`);
    if (c.name !== 'SetValue' && c.name !== 'LMSSetValue') continue;
    const [element, value] = c.args;
    const rule = RULES[version].find(([e]) => e.test(element));
    assert.ok(rule, `an element the page has no business writing: ${element}`);
    assert.match(value, rule[1], `${element} = "${value}"`);
  }
  const finishes = calls.filter((c) => c.name === (v2004 ? 'Terminate' : 'LMSFinish'));
  assert.equal(finishes.length, 1, 'the session is finished once');
  assert.equal(calls.at(-1), finishes[0], 'nothing is called after the session is finished');
}

function lastSet(calls, element) {
  const c = calls.filter((x) => (x.name === 'SetValue' || x.name === 'LMSSetValue') && x.args[0] === element).at(-1);
  return c ? c.args[1] : undefined;
}

// ---- the platform: a local HTTP server --------------------------------------
let server, base, browser, dir;
const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.jpg': 'image/jpeg', '.png': 'image/png',
  '.bmp': 'image/bmp', '.wav': 'audio/wav', '.mp3': 'audio/mpeg', '.xml': 'application/xml' };
function serve(request, response) {
  const url = new URL(request.url, 'http://x');
  if (url.pathname === '/favicon.ico') {   // the browser's own question, not the page's
    response.writeHead(204);
    response.end();
    return;
  }
  let file = null;
  if (url.pathname === '/platform.html') file = path.join(HERE, 'learning-platform.html');
  else if (url.pathname.startsWith('/runtime/')) file = path.join(RUNTIME, path.basename(url.pathname));
  else if (url.pathname.startsWith('/pkg/')) file = path.join(dir, decodeURIComponent(url.pathname));
  if (!file || !path.resolve(file).startsWith(path.resolve(file.startsWith(dir) ? dir : path.dirname(file)))
      || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
    response.writeHead(404);
    response.end();
    return;
  }
  response.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
  response.end(fs.readFileSync(file));
}

before(async () => {
  dir = q.tempDir('platform');
  server = http.createServer(serve);
  await new Promise((r) => server.listen(0, '127.0.0.1', r));
  base = `http://127.0.0.1:${server.address().port}`;
  browser = await q.launch();
});
after(async () => {
  await browser?.close();
  server?.close();
});

// A test saved by the program, exported as a package and unpacked where the
// platform serves it. Returns the package's folder and its zip's names.
function makePackage(name, test, version, passMark, ...extra) {
  const ard = path.join(dir, name + '.ard');
  q.tool(['save', ard], { input: JSON.stringify(test), cwd: dir });
  const zip = path.join(dir, name + '.zip');
  q.tool(['export', ard, zip, '--format', version === '2004' ? 'scorm2004' : 'scorm12', '--pass-mark', String(passMark),
    ...extra]);
  const out = path.join(dir, 'pkg', name);
  const names = execFileSync('python3', ['-c',
    'import sys, zipfile\nz = zipfile.ZipFile(sys.argv[1])\nz.extractall(sys.argv[2])\nprint("\\n".join(z.namelist()))',
    zip, out], { encoding: 'utf8' }).trim().split('\n');
  // Every manifest validates against its version's official schema.
  const driver = path.join(process.env.ARDENO_SCORM_SCHEMAS || '', version === '2004' ? 'scorm2004/scorm2004_all.xsd'
    : 'scorm12/scorm12_all.xsd');
  if (fs.existsSync(driver))
    execFileSync('xmllint', ['--noout', '--schema', driver, path.join(out, 'imsmanifest.xml')], { stdio: 'pipe' });
  return { ard, zip, folder: out, names, right: q.rightAnswers(ard) };
}

// Opens the platform's page and launches the package in its frame.
// `platform`: the ways the platform differs from the ideal one (see
// learning-platform.html).
async function launch(pkg, version, cmi, platform = {}) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1100, height: 800 });
  const errors = [];
  page.on('pageerror', (e) => errors.push(String(e)));
  page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
  await page.setRequestInterception(true);
  page.on('request', (r) => (r.url().startsWith(base) || r.url().startsWith('data:') || r.url().startsWith('blob:')
    ? r.continue() : (errors.push('requested ' + r.url()), r.abort())));
  await page.goto(base + '/platform.html', { waitUntil: 'load' });
  const src = `/pkg/${path.basename(pkg.folder)}/index.html`;
  await page.evaluate((c) => window.launch(c), { version, cmi, src, ...platform });
  const handle = await page.waitForSelector('#sco');
  let frame = null;
  await q.waitFor(async () => {
    frame = await handle.contentFrame();
    return frame && frame.url().endsWith('index.html')
      && frame.evaluate(() => document.getElementById('start-button')?.disabled === false).catch(() => false);
  });
  return { page, frame, errors };
}

// Answers each question with the option given (an index), closing the
// message a wrong answer shows.
async function answer(frame, options) {
  for (const option of options) {
    await q.waitAnswerable(frame);
    await q.clickOption(frame, option);
    await q.waitAnswerable(frame);
    if (await frame.evaluate(() => !document.getElementById('message').hidden)) await q.closeMessage(frame);
  }
}

const FOUR = {
  title: 'Planets', teacher: 'Class 4B',
  records: [
    `m${S}Largest planet?${S}Mars${S}Jupiter${S}Venus${S}Earth${S}none${S} 1`,
    `t${S}Venus is closer to the Sun than Earth.${S}none${S} 0`,
    `m${S}Ringed planet?${S}Saturn${S}Mercury${S}Mars${S}Venus${S}none${S} 0`,
    `t${S}Mars has two moons.${S}none${S} 0`,
  ],
};

describe('a package in the platform', () => {
  // Without a pass mark the score alone goes: completed, success unknown.
  for (const [version, passMark, status] of [['1.2', 60, 'passed'], ['2004', 80, 'failed'],
    ['1.2', 'none', 'completed'], ['2004', 'none', 'unknown']]) {
    it(`SCORM ${version}, pass mark ${passMark}: every call succeeds and the platform gets the score, status, time and each answer`, async () => {
      const pkg = makePackage(`four-${version}-${passMark}`, FOUR, version, passMark);
      const v2004 = version === '2004';
      const cmi = v2004 ? { learner_name: 'Doe, Jane' } : { core: { student_name: 'Doe, Jane' } };
      const { page, frame, errors } = await launch(pkg, version, cmi);
      await q.start(frame);
      // Right, wrong, right, right: 3 of 4.
      const given = [1, 1, 0, 0];
      await answer(frame, given);
      await frame.waitForFunction(() => !document.getElementById('report').hidden, { timeout: 30000 });
      assert.equal(await frame.$eval('#student', (e) => e.value), 'Jane Doe');
      assert.equal(await q.text(frame, '#platform-note'), 'Your result has gone to your learning platform.');

      const calls = await page.evaluate(() => window.calls);
      checkCalls(calls, version);
      const data = await page.evaluate(() => window.committed());
      const score = v2004 ? data.score : data.core.score;
      assert.deepEqual([score.raw, score.min, score.max].map(String), ['75', '0', '100']);
      if (v2004) {
        assert.equal(String(data.score.scaled), '0.75');
        assert.equal(data.completion_status, 'completed');
        assert.equal(data.success_status, status);
        assert.equal(lastSet(calls, 'cmi.exit'), 'normal');
        assert.match(lastSet(calls, 'cmi.session_time'), /^PT0H0M\d+\.\d\dS$/);
      } else {
        assert.equal(data.core.lesson_status, status);
        assert.equal(lastSet(calls, 'cmi.core.exit'), '');
        assert.match(lastSet(calls, 'cmi.core.session_time'), /^0000:00:\d\d\.\d\d$/);
      }
      // Each answer, as given, with the right one and the result.
      const response = v2004 ? 'learner_response' : 'student_response';
      const kinds = ['choice', 'true-false', 'choice', 'true-false'];
      const written = (v2004 ? ['B', 'false', 'A', 'true'] : ['b', 'f', 'a', 't']);
      const right = (v2004 ? ['B', 'true', 'A', 'true'] : ['b', 't', 'a', 't']);
      for (let i = 0; i < 4; ++i) {
        const p = `cmi.interactions.${i}.`;
        assert.equal(lastSet(calls, p + 'id'), 'Q' + (i + 1));
        assert.equal(lastSet(calls, p + 'type'), kinds[i]);
        assert.equal(lastSet(calls, p + response), written[i]);
        assert.equal(lastSet(calls, p + 'correct_responses.0.pattern'), right[i]);
        assert.equal(lastSet(calls, p + 'result'), i === 1 ? (v2004 ? 'incorrect' : 'wrong') : 'correct');
        assert.ok(lastSet(calls, p + 'latency'));
      }
      // Each answer is committed as it is given, with the attempt so far:
      // one commit at the start, one per answer, one at the end.
      const commits = calls.filter((c) => c.name.endsWith('Commit'));
      assert.equal(commits.length, 4 + 2);
      assert.deepEqual(errors, []);
      await page.close();
    });
  }

  // Real platforms are not ideal: the API made after the page's script ran,
  // "resume" never said (1.2: entry left empty; 2004: "ab-initio" always),
  // the interactions' count and the learner's name left empty or null.
  for (const version of ['1.2', '2004']) {
    it(`SCORM ${version}: a late API, no "resume", no count and no name still give every result and resume`, async () => {
      const pkg = makePackage('late-' + version, FOUR, version, 50);
      const v2004 = version === '2004';
      const quirks = { apiDelayMs: 700, unsetAsEmpty: true };
      const first = await launch(pkg, version, {}, quirks);
      await first.page.waitForFunction(() => window.platformApi);
      await q.start(first.frame);
      assert.equal(await first.frame.$eval('#student', (e) => e.value), '');   // never "null"
      await answer(first.frame, [1, 1]);   // right, wrong
      await first.page.evaluate(() => { document.getElementById('sco').src = 'about:blank'; });
      await q.waitFor(() => first.page.evaluate(() => window.calls.some((c) => c.name === 'Terminate' || c.name === 'LMSFinish')));
      checkCalls(await first.page.evaluate(() => window.calls), version);
      const kept = await first.page.evaluate(() => window.committed());
      await first.page.close();

      // Launched again with what it kept, but without saying "resume".
      if (v2004) kept.entry = 'ab-initio';
      else delete kept.core.entry;
      const again = await launch(pkg, version, kept, quirks);
      await again.page.waitForFunction(() => window.platformApi);
      await again.frame.click('#start-button');   // finds the platform now, and its attempt
      await again.frame.waitForFunction(() => !document.getElementById('resume').hidden);
      assert.equal(await q.text(again.frame, '#resume-text'),
        'You have already begun this quiz: you are at question 3, with 1 correct so far.');
      await again.frame.click('#continue-button');
      await answer(again.frame, [0, 0]);   // right, right
      await again.frame.waitForFunction(() => !document.getElementById('report').hidden, { timeout: 30000 });
      const calls = await again.page.evaluate(() => window.calls);
      checkCalls(calls, version);
      // Numbered after the two answers the attempt holds, not over them.
      assert.equal(lastSet(calls, 'cmi.interactions.2.id'), 'Q3');
      assert.equal(lastSet(calls, 'cmi.interactions.3.id'), 'Q4');
      assert.equal(lastSet(calls, 'cmi.interactions.0.id'), undefined);
      assert.equal(lastSet(calls, v2004 ? 'cmi.score.raw' : 'cmi.core.score.raw'), '75');
      assert.deepEqual(again.errors, []);
      await again.page.close();
    });
  }

  // Each student's own order inside the platform: the interactions carry
  // the test's numbers and letters, and a resume shows the same order.
  it('SCORM 1.2, shuffled: interactions in the test\'s numbers and letters, the order kept across a resume', async () => {
    const pkg = makePackage('shuffled-1.2', FOUR, '1.2', 50, '--shuffle');
    const right = { 'Largest planet?': 'Jupiter', 'Venus is closer to the Sun than Earth.': 0,
      'Ringed planet?': 'Saturn', 'Mars has two moons.': 0 };
    // Answers the question shown rightly; says which it was.
    const answerRightly = async (frame) => {
      await q.waitAnswerable(frame);
      const tf = await frame.evaluate(() => document.getElementById('multiple').hidden);
      const text = await q.text(frame, tf ? '#t-question' : '#m-question');
      const index = tf ? right[text] : await frame.evaluate((wanted) => [0, 1, 2, 3]
        .find((i) => document.getElementById('m-answer-' + i).textContent === wanted), right[text]);
      await q.clickOption(frame, index);
      await q.waitAnswerable(frame);
      return text;
    };
    const first = await launch(pkg, '1.2', { core: { student_name: 'Doe, Jane' } });
    await q.start(first.frame);
    const order = [await answerRightly(first.frame), await answerRightly(first.frame)];
    const third = await q.text(first.frame, '#count');
    await first.page.evaluate(() => { document.getElementById('sco').src = 'about:blank'; });
    await q.waitFor(() => first.page.evaluate(() => window.calls.some((c) => c.name === 'LMSFinish')));
    const kept = await first.page.evaluate(() => window.committed());
    assert.ok(Number.isInteger(JSON.parse(kept.suspend_data).o), 'the order\'s seed is kept with the attempt');
    await first.page.close();

    kept.core.entry = 'resume';
    const again = await launch(pkg, '1.2', kept);
    await again.frame.click('#continue-button');
    assert.equal(await q.text(again.frame, '#count'), third);
    order.push(await answerRightly(again.frame), await answerRightly(again.frame));
    await again.frame.waitForFunction(() => !document.getElementById('report').hidden, { timeout: 30000 });
    assert.deepEqual([...order].sort(), Object.keys(right).sort(), 'each question once, across the resume');
    const calls = [...(await again.page.evaluate(() => window.calls))];
    checkCalls(calls, '1.2');
    // Whatever the order shown, each interaction names the test's question
    // and its letters.
    const letters = { Q1: 'b', Q2: 't', Q3: 'a', Q4: 't' };
    for (let i = 2; i < 4; ++i) {
      const id = lastSet(calls, `cmi.interactions.${i}.id`);
      assert.equal(lastSet(calls, `cmi.interactions.${i}.student_response`), letters[id], id);
      assert.equal(lastSet(calls, `cmi.interactions.${i}.correct_responses.0.pattern`), letters[id], id);
    }
    assert.equal(lastSet(calls, 'cmi.core.score.raw'), '100');
    assert.deepEqual(again.errors, []);
    await again.page.close();
  });

  it('says so before the first question when no platform answers, and at the end when it refuses the result', async () => {
    const pkg = makePackage('lost-1.2', FOUR, '1.2', 50);
    const none = await launch(pkg, '1.2', {}, { apiDelayMs: 600000 });
    await none.frame.click('#start-button');
    assert.match(await q.messageShown(none.frame), /^Your result cannot reach your learning platform/);
    await q.closeMessage(none.frame);
    await none.page.close();

    const refusing = await launch(pkg, '1.2', {}, { refuseCommit: true });
    await q.start(refusing.frame);
    await answer(refusing.frame, [1, 0, 0, 0]);
    await refusing.frame.waitForFunction(() => !document.getElementById('report').hidden, { timeout: 30000 });
    assert.equal(await q.text(refusing.frame, '#platform-note'),
      'Your learning platform did not take your result: save it and hand the file to your teacher.');
    await refusing.page.close();
  });

  for (const version of ['1.2', '2004']) {
    it(`SCORM ${version}: a student who leaves mid-attempt resumes where they stood`, async () => {
      const pkg = makePackage('resume-' + version, FOUR, version, 50);
      const v2004 = version === '2004';
      const first = await launch(pkg, version, v2004 ? { learner_name: 'Roe, Ann' } : { core: { student_name: 'Roe, Ann' } });
      await q.start(first.frame);
      await answer(first.frame, [1, 1]);   // right, wrong
      await first.page.evaluate(() => { document.getElementById('sco').src = 'about:blank'; });
      await q.waitFor(() => first.page.evaluate(() => window.calls.some((c) => c.name === 'Terminate' || c.name === 'LMSFinish')));
      const calls = await first.page.evaluate(() => window.calls);
      checkCalls(calls, version);
      assert.equal(lastSet(calls, v2004 ? 'cmi.exit' : 'cmi.core.exit'), 'suspend');
      assert.equal(lastSet(calls, v2004 ? 'cmi.completion_status' : 'cmi.core.lesson_status'), 'incomplete');
      const kept = lastSet(calls, 'cmi.suspend_data');
      assert.ok(kept, 'the attempt is in cmi.suspend_data');
      await first.page.close();

      // The platform launches the package again with what it kept.
      const cmi = v2004 ? { learner_name: 'Roe, Ann', entry: 'resume', suspend_data: kept }
        : { core: { student_name: 'Roe, Ann', entry: 'resume' }, suspend_data: kept };
      const again = await launch(pkg, version, cmi);
      const { frame } = again;
      assert.equal(await q.visible(frame, '#resume'), true);
      assert.equal(await q.text(frame, '#resume-text'),
        'You have already begun this quiz: you are at question 3, with 1 correct so far.');
      await frame.click('#continue-button');
      await q.waitAnswerable(frame);
      assert.equal(await q.text(frame, '#count'), 'Question # 3');
      await answer(frame, [0, 0]);         // right, right
      await frame.waitForFunction(() => !document.getElementById('report').hidden, { timeout: 30000 });
      assert.match(await q.text(frame, '#report-lines'), /You got 3 correct out of 4 total questions\./);
      const second = await again.page.evaluate(() => window.calls);
      checkCalls(second, version);
      assert.equal(lastSet(second, v2004 ? 'cmi.score.raw' : 'cmi.core.score.raw'), '75');
      assert.equal(lastSet(second, 'cmi.interactions.0.id'), 'Q3');
      // The attempt kept now holds the first visit's answers as they were
      // given (B right, False wrong) beside the second's.
      const attempt = JSON.parse(lastSet(second, 'cmi.suspend_data'));
      assert.equal(attempt.g, 'BFAT');
      assert.equal(attempt.r, 'BTAT');
      assert.deepEqual(again.errors, []);
      await again.page.close();
    });
  }
});
