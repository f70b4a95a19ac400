// The page in a classroom: a reload, a closed tab or a discarded one loses no
// attempt (before or after the report), leaving asks first, and each result
// names the test it belongs to.
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import * as q from './quizbrowser.mjs';

const S = q.SEP;
let browser, dir, html;
before(async () => {
  browser = await q.launch();
  dir = q.tempDir('classroom');
  html = q.makeQuiz(dir, 'classroom', {
    title: 'Rivers', teacher: 'Class 3',
    records: [
      `m${S}Longest river?${S}Nile${S}Rhine${S}Seine${S}Thames${S}none${S} 0`,
      `t${S}The Danube flows into the Black Sea.${S}none${S} 0`,
      `t${S}The Thames flows through Paris.${S}none${S} 1`,
    ],
  });
});
after(async () => { await browser?.close(); });

// Reloads and waits until the new page has read the attempt kept for it
// (the load event can come before the script has filled the offer in).
async function reopen(page) {
  page.removeAllListeners('dialog');
  page.on('dialog', (d) => d.accept());
  await page.reload({ waitUntil: 'load' });
  await page.waitForFunction(() => {
    const offer = document.getElementById('resume-text');
    return offer && offer.textContent.trim() !== '';
  }, { timeout: 30000 });
}

describe('an attempt kept in the browser', () => {
  it('continues after a reload where it stood, the clock going on from the time spent', async () => {
    const { page, errors } = await q.openQuiz(browser, html);
    await q.start(page);
    await q.clickOption(page, 0);            // right
    await q.waitAnswerable(page);
    await q.clickOption(page, 1);            // wrong: the message
    await q.closeMessage(page);
    await q.advanceClock(page, 30000);
    await reopen(page);                       // the page's clock starts again from nothing

    assert.equal(await q.visible(page, '#resume'), true);
    assert.equal(await q.visible(page, '#start-button'), false);
    assert.equal(await q.text(page, '#resume-text'),
      'You have already begun this quiz: you are at question 3, with 1 correct so far.');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'continue-button');
    await page.click('#continue-button');
    await q.waitAnswerable(page);
    assert.equal(await q.text(page, '#count'), 'Question # 3');
    assert.equal(await q.text(page, '#score'), 'Score: 1 correct of 3 total.');
    await q.advanceClock(page, 12000);
    await q.clickOption(page, 1);            // right
    await page.waitForFunction(() => !document.getElementById('report').hidden, { timeout: 30000 });
    const report = await q.text(page, '#report-lines');
    assert.match(report, /You got 2 correct out of 3 total questions\./);
    assert.match(report, /You spent 42 seconds on this quiz\./);
    assert.deepEqual(errors, []);
    await page.close();
  });

  it('keeps the report and the name after a reload, so the result can be saved again', async () => {
    const { page } = await q.openQuiz(browser, html);
    await q.start(page);
    for (const index of [1, 0, 1]) {          // wrong, right, right
      await q.clickOption(page, index);
      await q.waitAnswerable(page);
      if (await q.visible(page, '#message')) await q.closeMessage(page);
    }
    await page.waitForFunction(() => !document.getElementById('report').hidden, { timeout: 30000 });
    await page.type('#student', 'Дмитрий Łukasz');
    const before = await q.text(page, '#report-lines');
    await reopen(page);
    assert.equal(await q.text(page, '#resume-text'),
      'You have already begun this quiz: you are at the report, with 2 correct so far.');
    await page.click('#continue-button');
    await page.waitForFunction(() => !document.getElementById('report').hidden);
    assert.equal(await q.text(page, '#report-lines'), before);
    assert.equal(await page.$eval('#student', (e) => e.value), 'Дмитрий Łukasz');

    // The result names the test it belongs to.
    const downloads = fs.mkdtempSync(path.join(dir, 'downloads-'));
    await q.allowDownloads(page, downloads);
    await page.click('#save');
    // The file keeps the name as typed; the log, which holds Windows-1252
    // only, a readable Latin form of it.
    const file = path.join(downloads, 'Rivers - Дмитрий Łukasz.log');
    await q.waitFor(() => fs.existsSync(file) && fs.statSync(file).size > 0);
    const lines = q.logLines(file);
    assert.equal(lines[1], 'Test: Rivers');
    assert.equal(lines[2], 'Test id: ' + q.testId(path.join(dir, 'classroom.ard')));
    assert.equal(lines[4], 'Student: Dmitrij Lukasz');
    assert.equal(lines[6], 'Score: 2 correct of 3 total questions.');
    await page.close();
  });

  it('asks before leaving while an attempt is under way, and Start again begins afresh', async () => {
    const { page } = await q.openQuiz(browser, html);
    await q.start(page);
    await q.clickOption(page, 0);
    await q.waitAnswerable(page);
    const asked = [];
    page.on('dialog', async (d) => { asked.push(d.type()); await d.accept(); });
    await page.evaluate(() => { window.__beforeReload = true; });
    await page.reload({ waitUntil: 'load' });
    assert.deepEqual(asked, ['beforeunload']);
    // The reload waits for the answer to the question first: the new page
    // may still be on its way. A browser that never went on after the
    // answer (seen once on a loaded machine) is asked again; a new page
    // that does not offer the attempt fails with what it shows.
    const offered = () => page.waitForFunction(() => !window.__beforeReload
      && !document.getElementById('resume').hidden, { timeout: 30000 });
    await offered().catch(async () => {
      const shown = await page.evaluate(() => ({ old: !!window.__beforeReload, start: !document.getElementById('start').hidden,
        resume: !document.getElementById('resume').hidden, kept: Object.keys(localStorage) }))
        .catch(() => null);   // a page on its way this very moment: waited for once more
      if (!shown) return offered();
      if (!shown.old) throw new Error('the reloaded page does not offer the attempt: ' + JSON.stringify(shown));
      await page.reload({ waitUntil: 'load' });
      await offered();
    });
    await page.click('#restart-button');
    await q.waitAnswerable(page);
    assert.equal(await q.text(page, '#count'), 'Question # 1');
    assert.equal(await q.text(page, '#score'), 'Score: 0 correct of 3 total.');
    await page.close();
  });
});

describe('photographs', () => {
  let photos, page10;
  before(() => {
    photos = q.tempDir('photos');
    const records = [];
    for (let i = 1; i <= 10; ++i) {
      // A camera photograph's size and grain.
      execFileSync('ffmpeg', ['-loglevel', 'error', '-y', '-f', 'lavfi', '-i', `testsrc2=size=3264x2448:rate=1`,
        '-vf', `noise=alls=${20 + i}:allf=t`, '-frames:v', '1', '-q:v', '3', path.join(photos, `photo${i}.jpg`)]);
      records.push(`t${S}Photograph ${i}${S}photo${i}.jpg${S} 0`);
    }
    page10 = q.makeQuiz(photos, 'photos', { title: 'Photos', teacher: 'Class 3', records });
  });

  it('go into the page at the size it shows them: ten photographs make a page under 5 MB', () => {
    const sources = fs.readdirSync(photos).filter((n) => n.endsWith('.jpg'))
      .reduce((sum, n) => sum + fs.statSync(path.join(photos, n)).size, 0);
    const page = fs.statSync(page10).size;
    assert.ok(sources > 20e6, 'the photographs are camera-sized');
    assert.ok(page < 5e6, `the page is ${page} bytes`);
  });

  it('fill the larger picture box of a projector-size page', async () => {
    const { page, errors } = await q.openQuiz(browser, page10, { width: 1920, height: 1080 });
    await q.start(page);
    const img = await page.$eval('#media img', (im) => ({ ok: im.complete && im.naturalWidth > 0,
      w: im.getBoundingClientRect().width, box: im.parentElement.getBoundingClientRect().width }));
    await page.screenshot({ path: path.join(photos, 'projector.png') });
    assert.ok(img.ok);
    assert.ok(img.w > 273 && img.w <= img.box + 0.5, `the picture is ${img.w} pixels wide in a ${img.box} box`);
    assert.deepEqual(errors, []);
    await page.close();
  });
});

describe('on a phone, and what a student trips over', () => {
  let phone;
  before(() => {
    const d = q.tempDir('phone');
    const picture = path.join(d, 'map.bmp');
    fs.copyFileSync(path.join(q.DATA, 'pictures', 'redblue-40x30.bmp'), picture);
    fs.copyFileSync(path.join(q.DATA, 'media', 'tone.wav'), path.join(d, 'tone.wav'));
    phone = q.makeQuiz(d, 'unit31', {
      title: 'Unit 3.1', teacher: 'Class 3',
      records: [
        `m${S}${'A long question. '.repeat(30)}${S}a${S}b${S}c${S}d${S}map.bmp${S} 1`,
        `t${S}Did you hear a tone?${S}tone.wav${S} 0`,
        `t${S}Last one.${S}none${S} 0`,
      ],
    });
  });

  it('fits the picture box to the picture, starts each question at the top, keeps the focus in a message', async () => {
    const { page, errors } = await q.openQuiz(browser, phone, { width: 360, height: 640 });
    await q.start(page);
    // No empty bands: the box has the picture's own 4:3 shape.
    const box = await page.$eval('#media', (b) => b.getBoundingClientRect().toJSON());
    const img = await page.$eval('#media img', (i) => i.getBoundingClientRect().toJSON());
    assert.ok(Math.abs(box.height - img.height) < 1.5 && Math.abs(box.width / box.height - 4 / 3) < 0.02,
      `box ${box.width}x${box.height}, picture ${img.width}x${img.height}`);
    await page.evaluate(() => window.scrollTo(0, document.body.scrollHeight));
    await q.clickOption(page, 0);                       // wrong: the message
    await q.messageShown(page);
    for (let i = 0; i < 3; ++i) await page.keyboard.press('Tab');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'message-ok');
    await page.keyboard.press('Enter');
    // The wave sound's question: the answers wait, visibly, until it ends.
    await page.waitForFunction(() => document.getElementById('count').textContent === 'Question # 2');
    assert.equal(await page.evaluate(() => window.scrollY), 0);
    await page.waitForFunction(() => document.querySelector('#truefalse .options').classList.contains('waiting'));
    assert.equal(await page.$eval('#truefalse .option', (o) => o.getAttribute('aria-disabled')), 'true');
    await q.waitAnswerable(page);
    assert.equal(await page.$eval('#truefalse .options', (o) => o.classList.contains('waiting')), false);
    assert.deepEqual(errors, []);
    await page.close();
  });
});
