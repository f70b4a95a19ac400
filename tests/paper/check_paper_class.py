#!/usr/bin/env python3
"""A paper class from end to end: answer sheets printed for a class list of
30 in two versions, each page filled in by drawing pencil and pen marks on
its raster (some of them doubtful on purpose), degraded as a school copier
and as a phone would, read back by `ardeno-tool scan` into result logs that
`ardeno-tool class` reads; then the inputs a scan must refuse.

    check_paper_class.py ARDENO_TOOL TEST.ard
"""
import concurrent.futures
import json
import os
import random
import re
import stat
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import sheetmarks  # noqa: E402

TOOL, TEST = sys.argv[1], os.path.abspath(sys.argv[2])
ENV = dict(os.environ, QT_QPA_PLATFORM='offscreen')
# ImageMagick on one thread a picture: the pictures are made side by side.
os.environ['MAGICK_THREAD_LIMIT'] = '1'
NAMES = ['Anna Smith', 'Zoë Brown', '张伟', 'Ελένη Παππά', "Liam O'Brien"] + ['Pupil %02d' % n for n in range(6, 31)]


def tool(*args, timeout=120):
    return subprocess.run([TOOL, *args], capture_output=True, text=True, env=ENV, timeout=timeout)


def records():
    return json.loads(tool('dump', TEST).stdout)['records']


def fields(record):
    return record.split('\u00a9')


def question_paper(folder, version):
    """{test question: (printed number, {test option: printed letter})} read
    from the version's question paper as the print command makes it."""
    pdf = os.path.join(folder, 'paper%d.pdf' % version)
    out = tool('print', TEST, pdf, '--version', str(version))
    assert out.returncode == 0, out.stderr
    text = subprocess.run(['pdftotext', '-layout', pdf, '-'], capture_output=True, text=True, check=True).stdout
    tests = [fields(r) for r in records()]
    found, number, answers = {}, None, []

    def close():
        if number is None:
            return
        q = [i for i, f in enumerate(tests) if f[1] == question][0]
        if tests[q][0].startswith('t'):
            found[q] = (number, {0: 'T', 1: 'F'})
        else:
            found[q] = (number, {tests[q][2:6].index(a): letter for letter, a in answers})

    for line in text.splitlines():
        m = re.match(r'^(\d+)\.\s+(.*\S)\s*$', line)
        a = re.match(r'^\s+([A-D])\.\s+(.*\S)\s*$', line)
        if m:
            close()
            number, question, answers = int(m.group(1)), m.group(2), []
        elif a and number is not None:
            answers.append((a.group(1), a.group(2)))
    close()
    return found


class PaperClassTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.dir = cls.tmp.name
        with open(os.path.join(cls.dir, 'class.csv'), 'w', encoding='utf-8') as f:
            f.write('number,name\n' + ''.join('%d,%s\n' % (i + 1, n) for i, n in enumerate(NAMES)))
        cls.sheets = os.path.join(cls.dir, 'sheets.pdf')
        out = tool('sheets', TEST, cls.sheets, '--class', os.path.join(cls.dir, 'class.csv'), '--versions', '2')
        assert out.returncode == 0, out.stderr
        cls.papers = {v: question_paper(cls.dir, v) for v in (1, 2)}
        cls.tests = [fields(r) for r in records()]

    def test_a_class_filled_in_copied_and_photographed_is_read_back_with_every_doubt_listed(self):
        rng = random.Random(7)
        n = len(self.tests)
        expected, doubts, jobs = {}, set(), []
        for sheet, name in enumerate(NAMES, 1):
            version = 1 if sheet % 2 else 2
            given, marks = [], []
            for q, f in enumerate(self.tests):
                choices = 2 if f[0].startswith('t') else 4
                choice = rng.randrange(choices + 1) - 1            # -1: left blank
                words = ['True', 'False'] if choices == 2 else ['A', 'B', 'C', 'D']
                given.append(words[choice] if choice >= 0 else '-')
                number, letters = self.papers[version][q]
                if choice >= 0:
                    marks.append((number, letters[choice], 'pen' if sheet % 3 == 0 else 'pencil'))
            # Doubtful on purpose: two marks, one rubbed out, a cross.
            if sheet in (3, 11, 19):
                q = {3: 0, 11: 2, 19: 4}[sheet]
                number, letters = self.papers[version][q]
                kind = {3: 'pencil', 11: 'faint', 19: 'cross'}[sheet]
                marks = [m for m in marks if m[0] != number]
                if kind == 'pencil':
                    marks += [(number, letters[0], 'pencil'), (number, letters[1], 'pencil')]
                else:
                    marks += [(number, letters[1], kind)]
                given[q] = '-'
                doubts.add((name, q + 1, 'two-marks' if kind == 'pencil' else 'faint'))
            expected[name] = given
            jobs.append((sheet, marks))

        places = sheetmarks.bubbles(self.sheets, 1)
        for q, f in enumerate(self.tests):
            self.assertEqual(set(places[q + 1]), {'T', 'F'} if f[0].startswith('t') else {'A', 'B', 'C', 'D'},
                             'each bubble holds its letter as text')
        page_text = subprocess.run(['pdftotext', self.sheets, '-'], capture_output=True, text=True).stdout
        for name in NAMES:
            self.assertTrue(name in page_text, name)

        def make(job):
            sheet, marks = job
            prefix = os.path.join(self.dir, 'page%02d' % sheet)
            dpi = 600 if sheet == 30 else 150 if sheet % 4 else 300
            png = sheetmarks.rasterize(self.sheets, sheet, prefix, dpi)
            at = sheetmarks.bubbles(self.sheets, sheet)
            filled = sheetmarks.fill(png, prefix + '-filled.png',
                                     [(*at[number][letter], kind) for number, letter, kind in marks], dpi)
            if sheet in (25, 26, 27):
                # A phone on a desk: the sheet smaller than the picture on a
                # darker desk, seen at a slant (the top edge shorter than the
                # bottom, about 15 degrees), lit unevenly, with noise.
                out = prefix + '.jpg'
                w, h = (int(v) for v in subprocess.run(['identify', '-format', '%w %h', filled], capture_output=True,
                                                       text=True, check=True).stdout.split())
                W, H = int(w * 1.3), int(h * 1.2)
                ox, oy = (W - w) // 2, (H - h) // 2
                pairs = [(ox, oy, ox + 0.09 * w, oy + 0.04 * h), (ox + w, oy, ox + 0.93 * w, oy + 0.01 * h),
                         (ox + w, oy + h, ox + 1.05 * w, oy + 1.02 * h), (ox, oy + h, ox - 0.03 * w, oy + 0.98 * h)]
                subprocess.run(['convert', filled, '-background', 'gray30', '-gravity', 'center', '-extent',
                                '%dx%d' % (W, H), '-virtual-pixel', 'background', '-distort', 'Perspective',
                                ' '.join('%d,%d %d,%d' % p for p in pairs),
                                '(', '-size', '%dx%d' % (W, H), 'gradient:gray97-gray55', ')', '-compose', 'multiply',
                                '-composite', '-attenuate', '0.4', '+noise', 'Gaussian', '-quality', '70', out],
                               check=True)
                return sheet, out, None
            angle = [-5, -2.5, 0.8, 3, 5][sheet % 5] + (180 if sheet == 7 else 0)
            out = prefix + '.jpg'
            # (ImageMagick's policy leaves no room to turn a 600-dpi page.)
            turn = ['-background', 'white', '-rotate', str(angle), '-blur', '0x0.6'] if dpi < 600 else []
            subprocess.run(['convert', filled] + turn + ['-quality', str(40 + (sheet * 7) % 40), out], check=True)
            return sheet, out, dpi

        with concurrent.futures.ThreadPoolExecutor(4) as pool:
            made = sorted(pool.map(make, jobs))
        # The copier's scan: one PDF, in any order, with a blank page, a
        # page of the question paper and a sheet of another test among them.
        copier = [(out, dpi) for sheet, out, dpi in made if dpi]
        rng.shuffle(copier)
        blank = os.path.join(self.dir, 'blank.jpg')
        subprocess.run(['convert', '-size', '1654x2339', 'xc:gray97', '-quality', '60', blank], check=True)
        paper = sheetmarks.rasterize(os.path.join(self.dir, 'paper1.pdf'), 1, os.path.join(self.dir, 'paper'), 150)
        other = self.other_tests_sheet()
        pdfs = []
        for i, group in enumerate([copier[:14] + [(blank, 200)], copier[14:] + [(paper, 150), (other, 150)]]):
            pdf = os.path.join(self.dir, 'copier%d.pdf' % i)
            # Each page at its own resolution: img2pdf takes it from the picture.
            subprocess.run(['img2pdf', '-o', pdf] + [out for out, dpi in group], check=True)
            pdfs.append(pdf)
        photos = [out for sheet, out, dpi in made if not dpi]
        results = os.path.join(self.dir, 'results')
        out = tool('scan', TEST, *pdfs, *photos, '--results', results, '--json', timeout=240)
        self.assertEqual(out.returncode, 3, out.stderr)   # some pages are no sheets of this test
        report = json.loads(out.stdout)
        read = {s['student']: s for s in report['sheets']}
        self.assertEqual(sorted(read), sorted(NAMES), report['not_read'])
        for name in NAMES:
            self.assertEqual(read[name]['answers'], expected[name], name)
        self.assertEqual({(d['student'], d['question'], d['reason']) for d in report['doubtful']}, doubts)
        not_read = '\n'.join(report['not_read'])
        self.assertEqual(len(report['not_read']), 3, not_read)
        self.assertIn('copier0.pdf, page 15: no answer sheet', not_read)
        self.assertIn('an answer sheet of another test', not_read)

        # The teacher's alone, and Class Results reads every log.
        self.assertEqual(stat.S_IMODE(os.stat(results).st_mode), 0o700)
        for log in os.listdir(results):
            self.assertEqual(stat.S_IMODE(os.stat(os.path.join(results, log)).st_mode), 0o600, log)
        summary = json.loads(tool('class', results, '--json').stdout)
        students = {s['name']: s for s in summary['students']}
        self.assertEqual(sorted(students), sorted(NAMES))
        for name in NAMES:
            right = sum(1 for q, f in enumerate(self.tests)
                        if expected[name][q] == (['True', 'False'][int(f[-1])] if f[0].startswith('t') else 'ABCD'[int(f[-1])]))
            self.assertEqual(students[name]['score'], right, name)

    def other_tests_sheet(self):
        other = os.path.join(self.dir, 'other.ard')
        dump = json.loads(tool('dump', TEST).stdout)
        out = subprocess.run([TOOL, 'save', other], input=json.dumps(dict(dump, title='Another Test')),
                             capture_output=True, text=True, env=ENV)
        assert out.returncode == 0, out.stderr
        pdf = os.path.join(self.dir, 'other.pdf')
        assert tool('sheets', other, pdf, '--count', '1').returncode == 0
        return sheetmarks.rasterize(pdf, 1, os.path.join(self.dir, 'other'), 150)


class RefusedInputTest(unittest.TestCase):
    """What a scan must refuse, each told by name within seconds, with
    nothing left in the results folder."""

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name
        self.results = os.path.join(self.dir, 'results')

    def tearDown(self):
        self.tmp.cleanup()

    def scan(self, *inputs):
        return tool('scan', TEST, *inputs, '--results', self.results, '--json', timeout=60)

    def test_damaged_endless_huge_and_foreign_inputs_are_told_and_leave_nothing(self):
        sheets = os.path.join(self.dir, 'sheets.pdf')
        self.assertEqual(tool('sheets', TEST, sheets, '--count', '2', '--paper', 'letter').returncode, 0)
        with open(sheets, 'rb') as f:
            whole = f.read()
        damaged = os.path.join(self.dir, 'damaged.pdf')
        with open(damaged, 'wb') as f:
            f.write(whole[:len(whole) // 3])
        fifo = os.path.join(self.dir, 'fifo.pdf')
        os.mkfifo(fifo)
        tiny = os.path.join(self.dir, 'tiny.jpg')
        subprocess.run(['convert', '-size', '40x60', 'xc:white', tiny], check=True)
        many = os.path.join(self.dir, 'many.pdf')
        subprocess.run(['img2pdf', '-o', many] + [tiny] * 500, check=True)
        huge = os.path.join(self.dir, 'huge.jpg')   # 100 megapixels (beyond ImageMagick's policy)
        subprocess.run(['ffmpeg', '-v', 'error', '-f', 'lavfi', '-i', 'color=white:s=10000x10000', '-frames:v', '1',
                        '-q:v', '20', huge], check=True)
        text = os.path.join(self.dir, 'notes.pdf')
        with open(text, 'w') as f:
            f.write('not a PDF at all\n')
        out = self.scan(damaged, fifo, many, huge, text)
        self.assertEqual(out.returncode, 3, out.stderr)
        report = json.loads(out.stdout)
        self.assertEqual(report['sheets'], [])
        told = '\n'.join(report['not_read'])
        for expected in ['damaged.pdf: it is not a PDF or it is damaged',
                         'fifo.pdf: not a regular file (a pipe)',
                         'many.pdf: it has 500 pages; a scan reads at most 400 at a time',
                         "huge.jpg: no answer sheet's code is on it",
                         'notes.pdf: it is neither a PDF nor a JPEG or PNG picture']:
            self.assertIn(expected, told)
        self.assertEqual(os.listdir(self.results), [])

        # Numbered sheets on Letter paper, unfilled: read as sheets with no
        # answers, each under its number, both in the one folder.
        pages = [sheetmarks.rasterize(sheets, p, os.path.join(self.dir, 'p%d' % p), 150) for p in (1, 2)]
        out = self.scan(*pages)
        self.assertEqual(out.returncode, 0, out.stderr)
        report = json.loads(out.stdout)
        self.assertEqual([s['student'] for s in report['sheets']], ['Sheet 1', 'Sheet 2'])
        self.assertEqual(report['sheets'][0]['answers'], ['-'] * len(records()))
        # The same sheet twice is read once.
        out = self.scan(pages[0], pages[0])
        self.assertIn('the same sheet as', json.loads(out.stdout)['not_read'][0])

        # A scan that cannot write every log writes none, and the logs of an
        # earlier scan it would have replaced stay as they were: here the
        # second sheet's log name is taken by a folder.
        logs = sorted(os.listdir(self.results))
        with open(os.path.join(self.results, logs[0]), 'rb') as f:
            first = f.read()
        os.remove(os.path.join(self.results, logs[1]))
        os.mkdir(os.path.join(self.results, logs[1]))
        out = self.scan(*pages)
        self.assertNotEqual(out.returncode, 0, out.stdout)
        self.assertIn('cannot be written', out.stderr)
        self.assertEqual(sorted(os.listdir(self.results)), logs)
        with open(os.path.join(self.results, logs[0]), 'rb') as f:
            self.assertEqual(f.read(), first)

    def test_a_results_folder_that_is_a_link_or_someone_elses_is_refused(self):
        os.mkdir(os.path.join(self.dir, 'elsewhere'))
        os.symlink(os.path.join(self.dir, 'elsewhere'), self.results)
        out = self.scan(TEST)
        self.assertEqual(out.returncode, 1)
        self.assertIn('cannot hold results', out.stderr)
        self.assertEqual(os.listdir(os.path.join(self.dir, 'elsewhere')), [])
        open_folder = os.path.join(self.dir, 'open')
        os.mkdir(open_folder, 0o777)
        os.chmod(open_folder, 0o777)
        out = tool('scan', TEST, TEST, '--results', open_folder)
        self.assertEqual(out.returncode, 1)


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1], verbosity=2)
