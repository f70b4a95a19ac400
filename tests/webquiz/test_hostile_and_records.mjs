// Hand-made tests in the browser: hostile texts stay text, the right
// answers are not in the page's source, and damaged and unknown records
// behave as in the preview.
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import * as q from './quizbrowser.mjs';

const S = q.SEP;
const HOSTILE = '<script>window.__pwned=1</script><img src=x onerror="window.__pwned=2">';

let browser;
before(async () => { browser = await q.launch(); });
after(async () => { await browser?.close(); });

describe('hostile texts', () => {
  let dir, html, quiz;
  before(async () => {
    dir = q.tempDir('hostile');
    // A media file whose name is markup, too.
    const media = path.join(dir, '<b onmouseover=x>.bmp');
    fs.copyFileSync(path.join(q.DATA, 'pictures', 'redblue-40x30.bmp'), media);
    html = q.makeQuiz(dir, 'hostile', {
      title: '</title><script>window.__pwned=3</script>',
      teacher: '<iframe src="https://example.org/"></iframe>',
      records: [
        `m${S}${HOSTILE}${S}<b>Zanzibar</b>${S}&amp;${S}{{SCRIPT}}${S}</script>${S}${media}${S} 3`,
        `t${S}"quotes" & 'apostrophes' <u>${S}none${S} 1`,
      ],
    });
    quiz = await q.openQuiz(browser, html);
  });

  it('shows title, class/teacher line, question and answers literally and runs nothing', async () => {
    const { page } = quiz;
    assert.equal(await q.text(page, '#title'), '</title><script>window.__pwned=3</script>');
    assert.equal(await page.title(), '</title><script>window.__pwned=3</script>');
    assert.equal(await q.text(page, '#teacher'), '<iframe src="https://example.org/"></iframe>');
    await q.start(page);
    assert.equal(await q.text(page, '#m-question'), HOSTILE);
    assert.equal(await q.text(page, '#m-answer-0'), '<b>Zanzibar</b>');
    assert.equal(await q.text(page, '#m-answer-1'), '&amp;');
    assert.equal(await q.text(page, '#m-answer-2'), '{{SCRIPT}}');
    assert.equal(await q.text(page, '#m-answer-3'), '</script>');
    assert.equal(await page.$$eval('main iframe, main b, main u, main script', (l) => l.length), 0);
    assert.equal(await page.evaluate(() => window.__pwned), undefined);
  });

  it('shows the picture with the markup name and a wrong answer names the text literally', async () => {
    const { page } = quiz;
    assert.ok(await page.$eval('#media img', (im) => im.complete && im.naturalWidth === 40));
    await q.clickOption(page, 0);
    assert.equal(await q.messageShown(page), 'The correct answer was D. </script>');
    await q.closeMessage(page);
    assert.equal(await q.text(page, '#t-question'), '"quotes" & \'apostrophes\' <u>');
    assert.equal(await page.evaluate(() => window.__pwned), undefined);
    assert.deepEqual(quiz.blocked, []);
  });

  it('keeps the questions and right answers out of the page source', () => {
    const source = fs.readFileSync(html, 'utf8');
    assert.ok(!source.includes('Zanzibar'), 'answer text not in plain sight');
    assert.ok(!source.includes('apostrophes'), 'question text not in plain sight');
    assert.ok(!source.includes('"correct"'), 'the answers\' field not in plain sight');
    assert.match(source, /<meta http-equiv="Content-Security-Policy" content="default-src 'none'; script-src 'sha256-/);
  });
});

describe('damaged and unknown records, as in the preview', () => {
  let quiz;
  before(async () => {
    const dir = q.tempDir('records');
    const html = q.makeQuiz(dir, 'records', {
      title: 'Records', teacher: 'Rules',
      records: [
        `m${S}First${S}a1${S}b1${S}c1${S}d1${S}none${S} 1`,
        `q${S}An unknown kind`,
        `t${S}Too few`,
        `T${S}Upper-case kind${S}none${S}1`,
        `m${S}No number${S}a${S}b${S}c${S}d${S}none${S}x`,
        `m${S}Out of range${S}a${S}b${S}c${S}d${S}none${S} 7`,
      ],
    });
    quiz = await q.openQuiz(browser, html);
    await q.start(quiz.page);
  });

  it('keeps the previous question on screen for an unknown kind, with its right answer', async () => {
    const { page } = quiz;
    await q.clickOption(page, 1);
    await q.waitAnswerable(page);
    assert.equal(await q.text(page, '#count'), 'Question # 2');
    assert.equal(await q.text(page, '#m-question'), 'First');
    assert.equal(await q.visible(page, '#multiple'), true);
    await q.clickOption(page, 1);    // B is still the right answer
    await q.waitAnswerable(page);
    assert.equal(await q.text(page, '#score'), 'Score: 2 correct of 6 total.');
  });

  it('reports a record with too few fields and keeps the earlier labels and right answer', async () => {
    const { page } = quiz;
    assert.equal(await q.messageShown(page), 'An error has occured.  Unable to process question t');
    await q.closeMessage(page);
    assert.equal(await q.visible(page, '#truefalse'), true);
    assert.equal(await q.text(page, '#count'), 'Question # 3');
    // The right answer is still B (1) = False.
    await page.keyboard.press('f');
    await q.waitAnswerable(page);
    assert.equal(await q.text(page, '#score'), 'Score: 3 correct of 6 total.');
  });

  it('reads an upper-case kind and an index without its blank', async () => {
    const { page } = quiz;
    assert.equal(await q.text(page, '#t-question'), 'Upper-case kind');
    await q.clickOption(page, 1);
    await q.waitAnswerable(page);
    assert.equal(await q.text(page, '#score'), 'Score: 4 correct of 6 total.');
  });

  it('takes an index field without a number as answer A', async () => {
    const { page } = quiz;
    await q.clickOption(page, 0);
    await q.waitAnswerable(page);
    assert.equal(await q.text(page, '#score'), 'Score: 5 correct of 6 total.');
  });

  it('cannot pass a question whose right answer names no option', async () => {
    const { page } = quiz;
    await q.clickOption(page, 3);
    assert.equal(await q.messageShown(page), 'There has been an error in this question.');
    await q.closeMessage(page);
    assert.equal(await q.text(page, '#count'), 'Question # 6');
    assert.equal(await q.visible(page, '#report'), false);
  });
});
