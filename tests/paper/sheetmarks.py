"""Where the bubbles of an answer sheet PDF are, read back by pdftotext
(each bubble holds its letter as text), and a page filled in as a student
would: pencil-like marks drawn on the rasterized page with ImageMagick."""
import re
import subprocess
from collections import defaultdict

WORD = re.compile(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>')
PAGE = re.compile(r'<page width="([\d.]+)" height="([\d.]+)">')


def bubbles(pdf, page):
    """{question number: {letter: (x, y) in points}} on one page."""
    out = subprocess.run(['pdftotext', '-bbox', '-f', str(page), '-l', str(page), pdf, '-'],
                         capture_output=True, text=True, check=True).stdout
    words = [(float(a), float(b), float(c), float(d), t) for a, b, c, d, t in WORD.findall(out)]
    numbers = [(int(t[:-1]), x1, (y0 + y1) / 2) for x0, y0, x1, y1, t in words if re.fullmatch(r'\d+\.', t)]
    found = defaultdict(dict)
    for x0, y0, x1, y1, t in words:
        if t not in ('A', 'B', 'C', 'D', 'T', 'F'):
            continue
        y = (y0 + y1) / 2
        row = [n for n in numbers if abs(n[2] - y) < 2 and n[1] < x0]
        if row:
            number = max(row, key=lambda n: n[1])[0]
            found[number][t] = ((x0 + x1) / 2, y)
    return dict(found)


def rasterize(pdf, page, out_prefix, dpi=300):
    """The page as a grey PNG at `dpi`; returns its file name."""
    subprocess.run(['pdftoppm', '-r', str(dpi), '-gray', '-png', '-singlefile', '-f', str(page), '-l', str(page),
                    pdf, out_prefix], check=True)
    return out_prefix + '.png'


def fill(png, out, marks, dpi=300):
    """Draws each mark: (x, y, kind) in points, kind 'pencil' (a dark
    filled bubble), 'pen', 'faint' (rubbed out, light grey), 'cross' (an
    X over the bubble)."""
    scale = dpi / 72.0
    r = 2.3 / 25.4 * dpi   # a little inside the printed circle, as a hand fills it
    draw = []
    for x, y, kind in marks:
        cx, cy = x * scale, y * scale
        if kind == 'cross':
            draw += ['-stroke', 'gray15', '-strokewidth', str(0.5 / 25.4 * dpi), '-draw',
                     'line %f,%f %f,%f' % (cx - r, cy - r, cx + r, cy + r), '-draw',
                     'line %f,%f %f,%f' % (cx - r, cy + r, cx + r, cy - r), '-stroke', 'none']
        else:
            colour = {'pencil': 'gray25', 'pen': 'gray5', 'faint': 'gray78'}[kind]
            draw += ['-fill', colour, '-draw', 'circle %f,%f %f,%f' % (cx, cy, cx + r, cy)]
    subprocess.run(['convert', png] + draw + [out], check=True)
    return out
