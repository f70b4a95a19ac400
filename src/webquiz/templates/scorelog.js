'use strict';
// The score log the page saves: Windows-1252 lines scrambled with the
// score-log key, each ended by CR LF, and the name it is saved under. Pure:
// the page and `node --test` both load it.
const ScoreLog = (() => {
  const LOG_KEY = 0xB6;            // the score-log key of the quiz player's logs
  // Windows-1252 for the characters outside Latin-1; the five codes it leaves
  // undefined travel as the control characters of the same number.
  const CP1252 = {
    0x20AC: 0x80, 0x201A: 0x82, 0x0192: 0x83, 0x201E: 0x84, 0x2026: 0x85, 0x2020: 0x86, 0x2021: 0x87,
    0x02C6: 0x88, 0x2030: 0x89, 0x0160: 0x8A, 0x2039: 0x8B, 0x0152: 0x8C, 0x017D: 0x8E, 0x2018: 0x91,
    0x2019: 0x92, 0x201C: 0x93, 0x201D: 0x94, 0x2022: 0x95, 0x2013: 0x96, 0x2014: 0x97, 0x02DC: 0x98,
    0x2122: 0x99, 0x0161: 0x9A, 0x203A: 0x9B, 0x0153: 0x9C, 0x017E: 0x9E, 0x0178: 0x9F,
    0x81: 0x81, 0x8D: 0x8D, 0x8F: 0x8F, 0x90: 0x90, 0x9D: 0x9D,
  };
  // One line of the log, scrambled. Characters Windows-1252 cannot hold
  // become "?", and so do the two whose scrambled byte would be a CR or LF
  // ("»" and "¼"), which would break the line in two.
  function line(text) {
    const out = [];
    for (const ch of text) {
      const c = ch.codePointAt(0);
      let b;
      if (c === 13 || c === 10) b = 0x20;
      else if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) b = c;
      else b = CP1252[c] !== undefined ? CP1252[c] : 0x3F;
      if ((b ^ LOG_KEY) === 13 || (b ^ LOG_KEY) === 10) b = 0x3F;
      out.push(b ^ LOG_KEY);
    }
    return out;
  }
  // A name in a readable Latin form for the log, which holds Windows-1252
  // only: Cyrillic and Greek letters are transliterated ("Дмитрий" gives
  // "Dmitrij"), Latin letters with other marks lose the marks; letters the
  // log can hold stay, and other scripts become "?" when written. The
  // teacher's computer writes a live class's logs by the same table.
  const LATIN = {
    а: 'a', б: 'b', в: 'v', г: 'g', д: 'd', е: 'e', ё: 'e', ж: 'zh', з: 'z', и: 'i', й: 'j', к: 'k', л: 'l',
    м: 'm', н: 'n', о: 'o', п: 'p', р: 'r', с: 's', т: 't', у: 'u', ф: 'f', х: 'kh', ц: 'ts', ч: 'ch',
    ш: 'sh', щ: 'shch', ъ: '', ы: 'y', ь: '', э: 'e', ю: 'yu', я: 'ya', є: 'ye', і: 'i', ї: 'yi', ґ: 'g',
    ў: 'u', ђ: 'dj', ј: 'j', љ: 'lj', њ: 'nj', ћ: 'c', џ: 'dz', ѓ: 'gj', ќ: 'kj', ѕ: 'dz',
    α: 'a', β: 'v', γ: 'g', δ: 'd', ε: 'e', ζ: 'z', η: 'i', θ: 'th', ι: 'i', κ: 'k', λ: 'l', μ: 'm',
    ν: 'n', ξ: 'x', ο: 'o', π: 'p', ρ: 'r', σ: 's', ς: 's', τ: 't', υ: 'y', φ: 'f', χ: 'ch', ψ: 'ps',
    ω: 'o', ł: 'l', đ: 'd', ħ: 'h', ı: 'i', ŋ: 'ng', ə: 'e', ĸ: 'k', ŀ: 'l',
  };
  function inLog(c) { return c < 0x80 || (c >= 0xA0 && c <= 0xFF) || CP1252[c] !== undefined; }
  function latinName(name) {
    let out = '';
    for (const ch of name) {
      if (inLog(ch.codePointAt(0))) { out += ch; continue; }
      // The letter itself first ("й" is "j", not "i" with a mark).
      const bare = LATIN[ch.toLowerCase()] !== undefined ? ch : ch.normalize('NFD').replace(/[\u0300-\u036f]/g, '');
      const lower = bare.toLowerCase();
      const mapped = LATIN[lower];
      if (mapped !== undefined) out += bare === lower ? mapped : mapped.charAt(0).toUpperCase() + mapped.slice(1);
      else if (bare && [...bare].every((c) => inLog(c.codePointAt(0)))) out += bare;
      else out += ch;
    }
    return out;
  }
  function two(n) { return String(n).padStart(2, '0'); }
  // r: { title, id, teacher, name, date (a Date), score, percent, time (the
  // report's text), answers: per question { given, right } or nothing }, n.
  function lines(r, n) {
    const d = r.date;
    const out = [
      'Ardeno web quiz result',
      'Test: ' + r.title,
      'Test id: ' + r.id,
      'Class/Teacher: ' + r.teacher,
      'Student: ' + latinName(r.name),
      'Date: ' + d.getFullYear() + '-' + two(d.getMonth() + 1) + '-' + two(d.getDate()) + ' '
        + two(d.getHours()) + ':' + two(d.getMinutes()) + ':' + two(d.getSeconds()),
      'Score: ' + r.score + ' correct of ' + n + ' total questions.',
      'Percent: ' + r.percent,
      'Time spent: ' + r.time,
    ];
    for (let i = 0; i < n; ++i) {
      const a = r.answers[i] || { given: '-', right: '-' };
      out.push('Question ' + (i + 1) + ': answered ' + a.given + ', right answer ' + a.right);
    }
    // A name the "Student:" line cannot give back whole ("张伟", "Ελένη"),
    // as typed, after the answers.
    if (latinName(r.name) !== r.name || ![...r.name].every((c) => inLog(c.codePointAt(0)))) {
      out.push('Student as typed: ' + encodeURIComponent(r.name));
    }
    return out;
  }
  function bytes(r, n) {
    const out = [];
    for (const text of lines(r, n)) out.push(...line(text), 13, 10);
    return new Uint8Array(out);
  }
  // The name proposed for the result: no character a file system refuses,
  // and no full stop, as the program reads a file's kind after the first
  // one ("Anna B." and "J. R. Smith" become "Anna B" and "J R Smith"); the
  // log itself keeps the name as typed.
  // At most 200 bytes of UTF-8 before ".log" (a file name holds 255): a
  // long title gives way before the name does.
  const FILE_NAME_BYTES = 200;
  const utf8Size = (text) => new TextEncoder().encode(text).length;
  function cutToBytes(text, bytes) {
    let out = '';
    let used = 0;
    for (const ch of text) {
      const size = utf8Size(ch);
      if (used + size > bytes) break;
      used += size;
      out += ch;
    }
    return out;
  }
  const fileNamePart = (text) => text.replace(/[\\/:*?"<>|\x00-\x1F]/g, '_').replace(/\./g, ' ').replace(/ {2,}/g, ' ');
  function fileName(title, name) {
    let base = fileNamePart(title + ' - ' + name).trim();
    if (utf8Size(base) > FILE_NAME_BYTES) {
      const tail = fileNamePart(' - ' + name).trim();
      const room = FILE_NAME_BYTES - utf8Size(tail) - 1;
      base = room > 0 ? fileNamePart(cutToBytes(fileNamePart(title).trim(), room).trim() + ' ' + tail).trim()
        : cutToBytes(base, FILE_NAME_BYTES).trim();
    }
    return base + '.log';
  }
  function percent(score, total) { return Math.floor(score / total * 100); }
  function timeText(s) { return s <= 60 ? s + ' seconds' : Math.floor(s / 60) + ' minutes and ' + (s % 60) + ' seconds'; }
  return { line, latinName, lines, bytes, fileName, percent, timeText, two };
})();
if (typeof module === 'object') module.exports = ScoreLog;
