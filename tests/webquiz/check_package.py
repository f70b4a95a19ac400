#!/usr/bin/env python3
"""The learning-platform packages as a platform reads them: for each SCORM
version, the sample test exported by ardeno-tool must be a sound zip whose
imsmanifest.xml (read with xml.etree) has one organization, one item and one
SCO resource launching the page, the version's own pass-mark element (none
without a pass mark), and names exactly the files the zip holds; the media
go in as files. Every manifest validates against the official schema of its
version (xmllint), also with a title longer than SCORM 1.2 holds.

    check_package.py ARDENO_TOOL SAMPLE.ard SCHEMAS
"""
import os
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET
import zipfile

import json
import shutil

TOOL, SAMPLE, SCHEMAS = sys.argv[1], sys.argv[2], sys.argv[3]
NS = {
    '1.2': {'cp': 'http://www.imsproject.org/xsd/imscp_rootv1p1p2',
            'adlcp': 'http://www.adlnet.org/xsd/adlcp_rootv1p2'},
    '2004': {'cp': 'http://www.imsglobal.org/xsd/imscp_v1p1',
             'adlcp': 'http://www.adlnet.org/xsd/adlcp_v1p3',
             'imsss': 'http://www.imsglobal.org/xsd/imsss'},
}


def export(version, pass_mark, folder, test=SAMPLE):
    out = os.path.join(folder, f'sample-{version}.zip')
    fmt = 'scorm2004' if version == '2004' else 'scorm12'
    run = subprocess.run([TOOL, 'export', test, out, '--format', fmt, '--pass-mark', str(pass_mark)],
                         capture_output=True, text=True)
    return run, out


def validate(testcase, version, manifest_bytes, folder):
    """The manifest against its version's official schema."""
    driver = os.path.join(SCHEMAS, 'scorm2004' if version == '2004' else 'scorm12',
                          'scorm2004_all.xsd' if version == '2004' else 'scorm12_all.xsd')
    if not os.path.exists(driver) or not shutil.which('xmllint'):
        print(f'NOTE: {driver} or xmllint missing: the manifest is not checked against the schema')
        return
    path = os.path.join(folder, f'imsmanifest-{version}.xml')
    with open(path, 'wb') as f:
        f.write(manifest_bytes)
    run = subprocess.run(['xmllint', '--noout', '--schema', driver, path], capture_output=True, text=True)
    testcase.assertEqual(run.returncode, 0, run.stderr)


class Package(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix='scorm-package-')

    def check(self, version, pass_mark):
        run, path = export(version, pass_mark, self.folder)
        self.assertIn(run.returncode, (0, 3), run.stderr)
        name = 'SCORM 2004' if version == '2004' else 'SCORM 1.2'
        self.assertIn(f'A {name} package; the pass mark is {pass_mark} percent.', run.stderr)
        ns = NS[version]
        with zipfile.ZipFile(path) as z:
            self.assertIsNone(z.testzip(), 'every entry reads back with its CRC')
            names = z.namelist()
            manifest_bytes = z.read('imsmanifest.xml')
            manifest = ET.fromstring(manifest_bytes)
            page = z.read('index.html').decode('utf-8')
        validate(self, version, manifest_bytes, self.folder)
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

    def test_no_pass_mark_and_a_long_title_still_validate(self):
        test = os.path.join(self.folder, 'long.ard')
        record = '\u00a9'.join(['t', 'Is the title long?', 'none', ' 0'])
        saved = subprocess.run([TOOL, 'save', test], input=json.dumps(
            {'title': 'T' * 250, 'teacher': 'Class', 'records': [record]}), capture_output=True, text=True)
        self.assertEqual(saved.returncode, 0, saved.stderr)
        for version in ('1.2', '2004'):
            run, path = export(version, 'none', self.folder, test)
            self.assertIn(run.returncode, (0, 3), run.stderr)
            self.assertIn('package without a pass mark', run.stderr)
            with zipfile.ZipFile(path) as z:
                manifest_bytes = z.read('imsmanifest.xml')
            validate(self, version, manifest_bytes, self.folder)
            manifest = ET.fromstring(manifest_bytes)
            ns = NS[version]
            item = manifest.find('cp:organizations/cp:organization/cp:item', ns)
            if version == '2004':
                self.assertIsNone(item.find('imsss:sequencing', ns))
                self.assertEqual(len(item.find('cp:title', ns).text), 250)
            else:
                self.assertIsNone(item.find('adlcp:masteryscore', ns))
                self.assertEqual(len(item.find('cp:title', ns).text), 200)
                self.assertIn('The title was cut to 200 characters', run.stderr)

    def test_pass_mark_out_of_range_is_refused(self):
        run, path = export('1.2', 101, self.folder)
        self.assertEqual(run.returncode, 2)
        self.assertIn('pass mark', run.stderr)
        self.assertFalse(os.path.exists(path))


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1], verbosity=2)
