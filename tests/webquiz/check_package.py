#!/usr/bin/env python3
"""The learning-platform packages as a platform reads them: for each SCORM
version, the sample test exported by ardeno-tool must be a sound zip whose
imsmanifest.xml (read with xml.etree) has one organization, one item and one
SCO resource launching the page, the version's own pass-mark element, and
names exactly the files the zip holds; the media go in as files.

    check_package.py ARDENO_TOOL SAMPLE.ard
"""
import os
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET
import zipfile

TOOL, SAMPLE = sys.argv[1], sys.argv[2]
NS = {
    '1.2': {'cp': 'http://www.imsproject.org/xsd/imscp_rootv1p1p2',
            'adlcp': 'http://www.adlnet.org/xsd/adlcp_rootv1p2'},
    '2004': {'cp': 'http://www.imsglobal.org/xsd/imscp_v1p1',
             'adlcp': 'http://www.adlnet.org/xsd/adlcp_v1p3',
             'imsss': 'http://www.imsglobal.org/xsd/imsss'},
}


def export(version, pass_mark, folder):
    out = os.path.join(folder, f'sample-{version}.zip')
    fmt = 'scorm2004' if version == '2004' else 'scorm12'
    run = subprocess.run([TOOL, 'export', SAMPLE, out, '--format', fmt, '--pass-mark', str(pass_mark)],
                         capture_output=True, text=True)
    return run, out


class Package(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix='scorm-package-')

    def check(self, version, pass_mark):
        run, path = export(version, pass_mark, self.folder)
        self.assertIn(run.returncode, (0, 3), run.stderr)
        ns = NS[version]
        with zipfile.ZipFile(path) as z:
            self.assertIsNone(z.testzip(), 'every entry reads back with its CRC')
            names = z.namelist()
            manifest = ET.fromstring(z.read('imsmanifest.xml'))
            page = z.read('index.html').decode('utf-8')
        self.assertEqual(manifest.tag, f'{{{ns["cp"]}}}manifest')
        self.assertTrue(manifest.get('identifier'))
        schema = manifest.find('cp:metadata/cp:schemaversion', ns).text
        self.assertEqual(schema, '2004 4th Edition' if version == '2004' else '1.2')

        organizations = manifest.find('cp:organizations', ns)
        orgs = organizations.findall('cp:organization', ns)
        self.assertEqual(len(orgs), 1)
        self.assertEqual(organizations.get('default'), orgs[0].get('identifier'))
        items = orgs[0].findall('cp:item', ns)
        self.assertEqual(len(items), 1)
        item = items[0]
        self.assertTrue(item.find('cp:title', ns).text)

        resources = manifest.findall('cp:resources/cp:resource', ns)
        self.assertEqual(len(resources), 1)
        resource = resources[0]
        self.assertEqual(item.get('identifierref'), resource.get('identifier'))
        self.assertEqual(resource.get('type'), 'webcontent')
        kind = 'scormType' if version == '2004' else 'scormtype'
        self.assertEqual(resource.get(f'{{{ns["adlcp"]}}}{kind}'), 'sco')
        self.assertEqual(resource.get('href'), 'index.html')

        if version == '2004':
            objective = item.find('imsss:sequencing/imsss:objectives/imsss:primaryObjective', ns)
            self.assertEqual(objective.get('satisfiedByMeasure'), 'true')
            self.assertAlmostEqual(float(objective.find('imsss:minNormalizedMeasure', ns).text), pass_mark / 100)
        else:
            self.assertEqual(item.find('adlcp:masteryscore', ns).text, str(pass_mark))

        # The zip holds exactly the manifest and the files it names.
        listed = [f.get('href') for f in resource.findall('cp:file', ns)]
        self.assertEqual(sorted(listed + ['imsmanifest.xml']), sorted(names))
        media = [n for n in names if n.startswith('media/')]
        self.assertTrue(media, 'the sample\'s media travel as files')
        for name in media:
            self.assertIn(f'>{name}</script>', page)
        self.assertNotIn(';base64,', page.split('id="sound-wrong"')[1].split('</script>', 1)[1])

    def test_scorm12(self):
        self.check('1.2', 60)

    def test_scorm2004(self):
        self.check('2004', 75)

    def test_pass_mark_out_of_range_is_refused(self):
        run, path = export('1.2', 101, self.folder)
        self.assertEqual(run.returncode, 2)
        self.assertIn('pass mark', run.stderr)
        self.assertFalse(os.path.exists(path))


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1], verbosity=2)
