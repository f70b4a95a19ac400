"""Files that ardeno-tool exports, read by parsers we did not write: GIFT by
the npm package gift-pegjs (run with Debian's nodejs), Moodle XML by xmllint
and Python's xml.etree, CSV by Python's csv module. Each must find exactly
the questions of the test, with their answers and media.

Usage: third_party_readers.py --tool ARDENO_TOOL --npm NPM_FOLDER"""
import argparse
import base64
import csv
import io
import json
import os
import re
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

SEP = "\u00a9"
ARGS = None

# Texts that every format has to escape or encode in its own way.
QUESTIONS = [
    ("m", "What is 2 + 2 = ? {not 5} ~ # : \\ done", ["4", "= five", "~three", "#six: {x}"], 0, "none"),
    ("m", "Line one\r\nLine two\r\n\r\nafter a blank line", ["a", "b", "c", "d"], 3, "map.bmp"),
    ("t", "[html] <b>not bold</b> & \"quoted\"", None, 0, "bell.wav"),
    ("m", "// not a comment", ["caf\u00e9", "\u20ac 5", "na\u00efve", "a, b; c"], 1, "none"),
    ("t", "Water is dry.  Two  blanks.", None, 1, "none"),
    ("m", "<script>alert(1)</script> ]]> end", ["<", ">", "&amp;", "]]>"], 2, "photo.jpg"),
    # An answer that would read as a weight or a format marker.
    ("m", "Which is half?", ["%50% of ten", "[plain] text", "five", "%n% none"], 2, "none"),
]
MEDIA = {
    # A whole 1 x 1 bitmap (headers that agree), then bytes of every value.
    "map.bmp": b"BM:\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00(\x00\x00\x00\x01\x00\x00\x00\x01\x00\x00\x00"
               b"\x01\x00\x18\x00\x00\x00\x00\x00\x04" + b"\x00" * 19 + b"\xff\x00\x00\x00" + bytes(range(256)) * 20,
    "bell.wav": b"RIFF\x24\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00\x40\x1f\x00\x00\x80\x3e\x00\x00\x02\x00\x10\x00" + b"\x00\xff" * 3000,
    "photo.jpg": b"\xff\xd8\xff\xe0" + os.urandom(5000),
}


def record(q):
    kind, text, answers, right, media = q
    if kind == "m":
        return SEP.join([kind, text, *answers, media, " %d" % right])
    return SEP.join([kind, text, media, " %d" % right])


def run_tool(*args, **kwargs):
    return subprocess.run([ARGS.tool, *args], capture_output=True, timeout=120, **kwargs)


class ExportedFiles(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.TemporaryDirectory()
        d = cls.dir.name
        os.mkdir(os.path.join(d, "media"))
        for name, data in MEDIA.items():
            with open(os.path.join(d, "media", name), "wb") as f:
                f.write(data)
        test = {"title": "Third party", "teacher": "Class 7",
                "records": [record(q).replace("map.bmp", "media/map.bmp").replace("bell.wav", "media/bell.wav")
                            .replace("photo.jpg", "media/photo.jpg") for q in QUESTIONS]}
        saved = run_tool("save", "test.ard", input=json.dumps(test).encode(), cwd=d)
        assert saved.returncode == 0, saved.stderr
        cls.ard = os.path.join(d, "test.ard")

    def export(self, name, expected_status=0):
        out = os.path.join(self.dir.name, "out", name)
        os.makedirs(os.path.dirname(out), exist_ok=True)
        r = run_tool("export", self.ard, out)
        self.assertEqual(r.returncode, expected_status, r.stderr.decode())
        return out

    def test_gift_pegjs_reads_our_gift(self):
        path = self.export("test.gift", expected_status=3)   # the media stay behind
        script = ("const p = require(process.argv[1]); const fs = require('fs');"
                  "console.log(JSON.stringify(p.parse(fs.readFileSync(process.argv[2], 'utf8'))));")
        parser = os.path.join(ARGS.npm, "node_modules", "gift-pegjs")
        r = subprocess.run(["node", "-e", script, parser, path], capture_output=True, timeout=120)
        self.assertEqual(r.returncode, 0, r.stderr.decode())
        parsed = json.loads(r.stdout)
        self.assertEqual(len(parsed), len(QUESTIONS))
        for q, p in zip(QUESTIONS, parsed):
            kind, text, answers, right, _ = q
            # gift-pegjs gives a line break as "\n" and, as Moodle shows a
            # text, a run of blanks as one.
            self.assertEqual(p["stem"]["text"], re.sub(" +", " ", text.replace("\r\n", "\n")))
            if kind == "t":
                self.assertEqual(p["type"], "TF")
                self.assertEqual(p["isTrue"], right == 0)
            else:
                self.assertEqual(p["type"], "MC")
                self.assertEqual([c["text"]["text"] for c in p["choices"]], answers)
                self.assertEqual([c["isCorrect"] for c in p["choices"]], [i == right for i in range(4)])

    def test_moodle_xml_is_well_formed_and_has_the_expected_structure(self):
        path = self.export("test.xml")
        lint = subprocess.run(["xmllint", "--noout", path], capture_output=True, timeout=120)
        self.assertEqual(lint.returncode, 0, lint.stderr.decode())
        root = ET.parse(path).getroot()
        self.assertEqual(root.tag, "quiz")
        questions = root.findall("question")
        self.assertEqual(len(questions), len(QUESTIONS))
        for q, element in zip(QUESTIONS, questions):
            kind, text, answers, right, media = q
            self.assertEqual(element.get("type"), "multichoice" if kind == "m" else "truefalse")
            qt = element.find("questiontext")
            self.assertEqual(qt.get("format"), "html")
            html = qt.find("text").text
            first_line = text.split("\r\n")[0]
            escaped = first_line.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace('"', "&quot;")
            self.assertIn(escaped.replace("  ", " &nbsp;"), html)
            files = qt.findall("file")
            if media == "none":
                self.assertEqual(files, [])
            else:
                self.assertEqual(len(files), 1)
                self.assertEqual(files[0].get("name"), media)
                self.assertEqual(files[0].get("encoding"), "base64")
                self.assertEqual(base64.b64decode(files[0].text), MEDIA[media])
                self.assertIn("@@PLUGINFILE@@/" + media, html)
            found = element.findall("answer")
            if kind == "m":
                self.assertEqual(element.find("single").text, "true")
                self.assertEqual([a.get("fraction") for a in found], ["100" if i == right else "0" for i in range(4)])
                shown = [a.find("text").text for a in found]
                for answer, html_answer in zip(answers, shown):
                    self.assertIn(answer.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;"), html_answer)
            else:
                truth = {a.find("text").text: a.get("fraction") for a in found}
                self.assertEqual(truth, {"true": "100" if right == 0 else "0", "false": "0" if right == 0 else "100"})

    def test_csv_reads_back_through_pythons_csv_module(self):
        path = self.export("test.csv")
        with open(path, encoding="utf-8-sig", newline="") as f:
            rows = list(csv.DictReader(f))
        self.assertEqual(len(rows), len(QUESTIONS))

        # A cell a spreadsheet would run as a formula comes guarded by an
        # apostrophe, which a spreadsheet shows as text without it.
        def shown(cell):
            if cell[:1] == "'" and cell[1:2] in ("=", "+", "-", "@", "\t", "\r", "\n", "'"):
                return cell[1:]
            return cell
        for q, row in zip(QUESTIONS, rows):
            row = {k: shown(v) for k, v in row.items()}
            kind, text, answers, right, media = q
            self.assertEqual(row["kind"], "mc" if kind == "m" else "tf")
            self.assertEqual(row["question"], text)
            self.assertEqual(row["media"], "" if media == "none" else media)
            if kind == "m":
                self.assertEqual([row[c] for c in "abcd"], answers)
                self.assertEqual(row["answer"], "ABCD"[right])
            else:
                self.assertEqual(row["answer"], "true" if right == 0 else "false")
        for name, data in MEDIA.items():   # the media travel beside the CSV file
            with open(os.path.join(os.path.dirname(path), name), "rb") as f:
                self.assertEqual(f.read(), data)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", required=True)
    parser.add_argument("--npm", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)
