#!/usr/bin/env python3
"""The live class's server as students' pages and hostile clients meet it:
`ardeno-tool serve` on loopback, spoken to over real sockets.

    check_server.py ARDENO_TOOL
"""
import base64
import http.client
import json
import os
import signal
import socket
import stat
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import urllib.parse

TOOL = sys.argv.pop(1) if len(sys.argv) > 1 else 'ardeno-tool'
ENV = dict(os.environ, QT_QPA_PLATFORM='offscreen')

# Three questions: C right, False right, A right.
TEST = {
    'title': 'Rivers',
    'teacher': 'Class 3',
    'records': [
        'm\u00a9Longest river?\u00a9Thames\u00a9Rhine\u00a9Nile\u00a9Seine\u00a9none\u00a9 2',
        't\u00a9The Rhine flows into the Black Sea.\u00a9none\u00a9 1',
        'm\u00a9Which flows through Paris?\u00a9Seine\u00a9Po\u00a9Tiber\u00a9Ebro\u00a9none\u00a9 0',
    ],
}
KEY = ['C', 'False', 'A']


def free_port():
    """A port no one listens on now: the tests' servers run beside other
    tests' servers, which take the usual ports (8080, 8000 to 8099)."""
    with socket.socket() as s:
        s.bind(('127.0.0.1', 0))
        return s.getsockname()[1]


def disk_full_at(size):
    """For a child: no file grows past `size` bytes, as on a full disk (the
    write fails; SIGXFSZ, ignored, stays so across exec)."""
    def limit():
        import resource
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (size, resource.getrlimit(resource.RLIMIT_FSIZE)[1]))
    return limit


class Server:
    def __init__(self, test, results, *extra, bind=('--bind', '127.0.0.1'), disk_full=None):
        self.proc = subprocess.Popen([TOOL, 'serve', test, '--results', results, *bind, *extra],
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=ENV, text=True,
                                     preexec_fn=disk_full_at(disk_full) if disk_full else None)
        self.address = self.proc.stdout.readline().strip()
        if not self.address:
            raise RuntimeError('no join address')
        parts = urllib.parse.urlsplit(self.address)
        self.port = parts.port
        self.base = parts.path

    def stop(self, sig=signal.SIGTERM):
        self.proc.send_signal(sig)
        status = self.proc.wait(timeout=20)
        self.proc.stdout.close()
        return status


def request(port, method, path, body=None, headers=None):
    conn = http.client.HTTPConnection('127.0.0.1', port, timeout=10)
    data = body if isinstance(body, (bytes, type(None))) else json.dumps(body).encode()
    conn.request(method, path, body=data, headers=headers or {})
    response = conn.getresponse()
    raw = response.read()
    conn.close()
    try:
        parsed = json.loads(raw)
    except ValueError:
        parsed = raw
    return response.status, parsed


def raw_exchange(port, payload, wait=5):
    """Sends bytes as they are; returns what came back before the server
    closed or `wait` seconds passed."""
    s = socket.create_connection(('127.0.0.1', port), timeout=wait)
    s.sendall(payload)
    out = b''
    try:
        while True:
            chunk = s.recv(65536)
            if not chunk:
                break
            out += chunk
            if b'\r\n\r\n' in out:
                break
    except socket.timeout:
        pass
    s.close()
    return out


class LiveServerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp()
        cls.test = os.path.join(cls.dir, 'rivers.ard')
        subprocess.run([TOOL, 'save', cls.test], input=json.dumps(TEST), text=True, check=True, env=ENV,
                       stdout=subprocess.DEVNULL)
        cls.results = os.path.join(cls.dir, 'results')
        cls.server = Server(cls.test, cls.results, '--port', str(free_port()))

    @classmethod
    def tearDownClass(cls):
        if cls.server.proc.poll() is None:
            cls.server.stop()

    def post(self, what, body, **kw):
        return request(self.server.port, 'POST', self.server.base + what, body, **kw)

    def join(self, name='Anna'):
        status, body = self.post('join', {'name': name})
        self.assertIn(status, (200, 201), body)
        return body['student']

    def answer(self, token, question, given):
        return self.post('answer', {'student': token, 'question': question, 'answer': given, 'ms': 1500})

    def take(self, name, answers, seconds=42):
        token = self.join(name)
        for q, given in enumerate(answers, 1):
            status, body = self.answer(token, q, given)
            self.assertEqual(status, 200, body)
        status, body = self.post('finish', {'student': token, 'seconds': seconds})
        self.assertEqual(status, 200, body)
        return token

    def logs(self):
        return sorted(f for f in os.listdir(self.results) if f.endswith('.log'))

    def class_json(self):
        out = subprocess.run([TOOL, 'class', '--folder', self.results, '--json'], capture_output=True, text=True,
                             env=ENV)
        return json.loads(out.stdout)

    def test_the_address_the_page_and_nothing_else(self):
        port, base = self.server.port, self.server.base
        # Listening on loopback alone, as --bind said (0100007F is 127.0.0.1).
        with open('/proc/net/tcp') as f:
            listening = [line.split()[1] for line in f.readlines()[1:] if line.split()[3] == '0A']
        self.assertEqual([a for a in listening if int(a.split(':')[1], 16) == port], ['0100007F:%04X' % port])
        self.assertRegex(self.server.address, r'^http://127\.0\.0\.1:\d+/[a-z2-9]{6}/$')
        self.assertEqual(request(port, 'GET', '/')[0], 404)
        conn = http.client.HTTPConnection('127.0.0.1', port, timeout=10)
        conn.request('GET', base[:-1])
        r = conn.getresponse()
        self.assertEqual((r.status, r.getheader('Location')), (301, base))
        status, page = request(port, 'GET', base)
        self.assertEqual(status, 200)
        self.assertIn(b"connect-src 'self'", page)
        # The test block holds no right answer.
        start = page.index(b'id="quiz-data"')
        key = base64.b64decode(page[start:].split(b'data-key="')[1].split(b'"')[0])
        block = base64.b64decode(page[start:].split(b'>', 1)[1].split(b'</script>')[0].strip())
        quiz = json.loads(bytes(b ^ key[i % len(key)] ^ ((i * 131 + 7) & 0xFF) for i, b in enumerate(block)))
        self.assertTrue(quiz['live'])
        self.assertEqual(len(quiz['questions']), 3)
        for q in quiz['questions']:
            self.assertNotIn('correct', q)

    def test_path_traversal_in_every_spelling_serves_nothing(self):
        port, base = self.server.port, self.server.base
        paths = [base + '../../../../etc/passwd', base + '%2e%2e/%2e%2e/%2e%2e/etc/passwd',
                 base + '..%2f..%2f..%2fetc%2fpasswd', base + '..\\..\\..\\etc\\passwd',
                 base + '%2e%2e%5c%2e%2e%5cetc%5cpasswd', base + 'media/../../../../etc/passwd',
                 base + '/etc/passwd', base + 'media/%2fetc%2fpasswd', base + '....//....//etc/passwd',
                 '/etc/passwd', base + 'live-class.journal', base + 'media/..%252f..%252fetc%252fpasswd']
        for path in paths:
            reply = raw_exchange(port, b'GET ' + path.encode() + b' HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n')
            self.assertNotIn(b'root:', reply, path)
            self.assertRegex(reply.split(b'\r\n')[0], rb' 4\d\d ', path)
        for absolute in ['http://127.0.0.1/etc/passwd', 'file:///etc/passwd', 'http://evil.example' + base + '../x']:
            reply = raw_exchange(port, b'GET ' + absolute.encode() + b' HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n')
            self.assertNotIn(b'root:', reply, absolute)
            self.assertNotIn(b' 200 ', reply.split(b'\r\n')[0], absolute)

    def test_malformed_requests_get_4xx_and_the_server_goes_on(self):
        port = self.server.port
        big = b'POST ' + self.server.base.encode() + b'join HTTP/1.1\r\nHost: x\r\nContent-Length: 1048576\r\n\r\n'
        start = time.monotonic()
        reply = raw_exchange(port, big)
        self.assertIn(b' 413 ', reply.split(b'\r\n')[0])
        self.assertLess(time.monotonic() - start, 3, 'a large body is refused without being read')
        chunked = (b'POST ' + self.server.base.encode() + b'join HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n'
                   + (b'10000\r\n' + b'a' * 0x10000 + b'\r\n') * 2 + b'0\r\n\r\n')
        # Without a stated length the server cannot answer before the body
        # ends: it closes the connection instead.
        self.assertNotIn(b' 20', raw_exchange(port, chunked).split(b'\r\n')[0])
        for garbage in [b'GARBAGE\r\n\r\n', b'GET / HTTP/9.9\r\n\r\n', b'\x00\xff\xfe\r\n\r\n',
                        b'GET ' + b'a' * 100000 + b' HTTP/1.1\r\n\r\n',
                        b'GET / HTTP/1.1\r\nHost: x\r\n' + b'X: ' + b'y' * 100000 + b'\r\n\r\n']:
            reply = raw_exchange(port, garbage)
            if reply:
                self.assertRegex(reply.split(b'\r\n')[0], rb' (4\d\d|505) ', garbage[:20])
        bodies = [b'\xff\xfe{"name": "x"}', b'{"name": "\xc3\x28"}', b'{"name": ', b'[1,2]', b'"Anna"', b'',
                  b'{"name": 5}', b'[' * 5000 + b']' * 5000]
        for body in bodies:
            status, _ = self.post('join', body)
            self.assertTrue(400 <= status < 500, body[:20])
        names = ['../../etc/passwd', 'Anna\nBen', 'Anna\r\n', 'An\x00na', 'Anna\u202egnitset', '\u200fAnna',
                 'x' * 101, '   ', 'a/b', 'a\\b']
        for name in names:
            status, _ = self.post('join', {'name': name})
            self.assertTrue(400 <= status < 500, repr(name))
        # A 1 MB name: refused while the client is still sending it.
        name = json.dumps({'name': 'x' * (1 << 20)}).encode()
        head = (b'POST ' + self.server.base.encode() + b'join HTTP/1.1\r\nHost: x\r\nContent-Length: '
                + str(len(name)).encode() + b'\r\n\r\n')
        s = socket.create_connection(('127.0.0.1', port), timeout=5)
        try:
            s.sendall(head + name)
        except OSError:
            pass
        self.assertIn(b' 413 ', s.recv(4096).split(b'\r\n')[0])
        s.close()
        self.assertEqual(request(port, 'GET', self.server.base)[0], 200)
        self.assertIsNone(self.server.proc.poll())

    def test_forged_tokens_are_refused_and_write_nothing(self):
        journal = os.path.join(self.results, 'live-class.journal')
        before = (os.path.getsize(journal), self.logs())
        real = self.join('Forge Victim')
        size = os.path.getsize(journal)
        for token in ['0' * 32, real[:-1] + ('0' if real[-1] != '0' else '1'), real.upper(), real + '0', '', None, 5,
                      '../' + real]:
            for what, body in [('answer', {'student': token, 'question': 1, 'answer': 'A', 'ms': 1}),
                               ('finish', {'student': token, 'seconds': 1})]:
                status, _ = self.post(what, body)
                self.assertIn(status, (400, 403), (what, token))
        self.assertEqual((os.path.getsize(journal), self.logs()), (size, before[1]))

    def test_a_student_takes_the_test_and_the_log_is_the_teachers_alone(self):
        token = self.join('Dmitrij Test')
        self.assertRegex(token, r'^[0-9a-f]{32}$')   # 128 bits
        self.assertNotEqual(token, self.join('Other Test'))
        status, first = self.answer(token, 1, 'B')
        self.assertEqual((status, first['right'], first['correct'], first['score']), (200, 'C', False, 0))
        # A resend after a lost reply, even with another option, counts once.
        self.assertEqual(self.answer(token, 1, 'C'), (200, first))
        self.assertEqual(self.answer(token, 3, 'A')[0], 409)          # not the next one
        self.assertEqual(self.answer(token, 2, 'B')[0], 400)          # not an option of a true/false question
        self.assertEqual(self.post('finish', {'student': token, 'seconds': 5})[0], 409)
        self.assertEqual(self.answer(token, 2, 'False')[1]['score'], 1)
        self.assertEqual(self.answer(token, 3, 'A')[1]['score'], 2)
        self.assertEqual(self.post('finish', {'student': token, 'seconds': 75}), (200, {'saved': True}))
        self.assertEqual(self.post('finish', {'student': token, 'seconds': 75}), (200, {'saved': True}))
        self.assertEqual(stat.S_IMODE(os.stat(self.results).st_mode), 0o700)
        name = 'Rivers - Dmitrij Test.log'
        self.assertIn(name, self.logs())
        self.assertEqual(stat.S_IMODE(os.stat(os.path.join(self.results, name)).st_mode), 0o600)
        self.assertEqual(stat.S_IMODE(os.stat(os.path.join(self.results, 'live-class.journal')).st_mode), 0o600)
        student = [s for s in self.class_json()['students'] if s['name'] == 'Dmitrij Test'][0]
        self.assertEqual((student['score'], student['seconds']), (2, 75))
        self.assertEqual(student['answers'], ['B', 'False', 'A'])

    def test_two_students_of_one_name_each_get_a_log(self):
        self.take('Same Name', KEY)
        self.take('Same Name', ['A', 'True', 'B'])
        self.assertIn('Rivers - Same Name.log', self.logs())
        self.assertIn('Rivers - Same Name (2).log', self.logs())

    def test_slow_clients_hold_up_no_student(self):
        slow = []
        for _ in range(500):
            s = socket.create_connection(('127.0.0.1', self.server.port))
            s.sendall(b'G')
            slow.append(s)
        stop = threading.Event()

        def drip():
            while not stop.wait(10):
                for s in slow:
                    try:
                        s.sendall(b'E')
                    except OSError:
                        pass
        dripper = threading.Thread(target=drip, daemon=True)
        dripper.start()
        try:
            start = time.monotonic()
            self.take('Patient Student', KEY)
            self.assertLess(time.monotonic() - start, 5)
        finally:
            stop.set()
            for s in slow:
                s.close()


class RestartTest(unittest.TestCase):
    def test_kill_9_loses_no_answer_a_page_was_told_of(self):
        d = tempfile.mkdtemp()
        test, results = os.path.join(d, 'rivers.ard'), os.path.join(d, 'r')
        subprocess.run([TOOL, 'save', test], input=json.dumps(TEST), text=True, check=True, env=ENV,
                       stdout=subprocess.DEVNULL)
        server = Server(test, results, '--port', str(free_port()))
        status, body = request(server.port, 'POST', server.base + 'join', {'name': 'Crash'})
        token = body['student']
        for q, given in [(1, 'C'), (2, 'True')]:
            self.assertEqual(request(server.port, 'POST', server.base + 'answer',
                                     {'student': token, 'question': q, 'answer': given, 'ms': 10})[0], 200)
        server.stop(signal.SIGKILL)
        # Started again without --bind: the address the class had.
        again = Server(test, results, bind=())
        self.assertEqual(again.address, server.address)
        status, body = request(again.port, 'POST', again.base + 'answer',
                               {'student': token, 'question': 2, 'answer': 'False', 'ms': 10})
        self.assertEqual((status, body['given'], body['score']), (200, 'True', 1))
        request(again.port, 'POST', again.base + 'answer', {'student': token, 'question': 3, 'answer': 'A', 'ms': 10})
        self.assertEqual(request(again.port, 'POST', again.base + 'finish', {'student': token, 'seconds': 9})[0], 200)
        self.assertEqual(again.stop(), 0)
        self.assertTrue(os.path.exists(os.path.join(results, 'Rivers - Crash.log')))

    def test_a_full_disk_refuses_what_it_cannot_keep_and_loses_nothing_told(self):
        d = tempfile.mkdtemp()
        test, results = os.path.join(d, 'rivers.ard'), os.path.join(d, 'r')
        subprocess.run([TOOL, 'save', test], input=json.dumps(TEST), text=True, check=True, env=ENV,
                       stdout=subprocess.DEVNULL)
        server = Server(test, results, '--port', str(free_port()), disk_full=3000)
        post = lambda what, body: request(server.port, 'POST', server.base + what, body)
        kept, refused = [], None
        for n in range(60):   # students answer until the journal can grow no more
            status, body = post('join', {'name': 'Student %d' % n})
            if status != 201:
                refused = (status, body)
                break
            token = body['student']
            for q, given in enumerate(['C', 'True', 'A'], 1):
                status, body = post('answer', {'student': token, 'question': q, 'answer': given, 'ms': 10})
                if status != 200:
                    refused = (status, body)
                    break
                kept.append((token, q, given))
            if refused:
                break
        self.assertIsNotNone(refused, 'the journal never filled up')
        self.assertEqual(refused, (503, {'error': 'The teacher\'s computer cannot keep answers now.'}))
        self.assertGreater(len(kept), 3)
        # Still there for the page; nothing more is taken on a disk that is full.
        self.assertEqual(request(server.port, 'GET', server.base)[0], 200)
        self.assertEqual(post('join', {'name': 'Late'})[0], 503)
        server.stop(signal.SIGKILL)

        # Space again: the class goes on, and every answer a page was told
        # of is there (a resend gets the answer first given back).
        again = Server(test, results, bind=())
        for token, q, given in kept:
            other = 'A' if given != 'A' and q != 2 else ('False' if q == 2 else 'B')
            status, body = request(again.port, 'POST', again.base + 'answer',
                                   {'student': token, 'question': q, 'answer': other, 'ms': 10})
            self.assertEqual((status, body.get('given')), (200, given))
        self.assertEqual(request(again.port, 'POST', again.base + 'join', {'name': 'Late'})[0], 201)
        self.assertEqual(again.stop(), 0)

    def test_a_result_log_that_cannot_be_written_is_refused_whole_and_written_later(self):
        d = tempfile.mkdtemp()
        test, results = os.path.join(d, 'rivers.ard'), os.path.join(d, 'r')
        subprocess.run([TOOL, 'save', test], input=json.dumps(TEST), text=True, check=True, env=ENV,
                       stdout=subprocess.DEVNULL)
        server = Server(test, results, '--port', str(free_port()), disk_full=1 << 30)
        post = lambda what, body: request(server.port, 'POST', server.base + what, body)
        token = post('join', {'name': 'Full'})[1]['student']
        for q, given in enumerate(KEY, 1):
            self.assertEqual(post('answer', {'student': token, 'question': q, 'answer': given, 'ms': 10})[0], 200)
        import resource
        unlimited = resource.prlimit(server.proc.pid, resource.RLIMIT_FSIZE)
        resource.prlimit(server.proc.pid, resource.RLIMIT_FSIZE, (100, unlimited[1]))   # the disk fills up
        self.assertEqual(post('finish', {'student': token, 'seconds': 30}),
                         (503, {'error': 'The teacher\'s computer cannot save results now.'}))
        before = sorted(os.listdir(results))
        self.assertFalse([f for f in before if f.endswith('.log')], 'no log cut short: %s' % before)
        resource.prlimit(server.proc.pid, resource.RLIMIT_FSIZE, unlimited)   # space again
        self.assertEqual(post('finish', {'student': token, 'seconds': 30})[0], 200)
        self.assertEqual(server.stop(), 0)
        self.assertEqual(sorted(os.listdir(results)), sorted(before + ['Rivers - Full.log']))
        with open(os.path.join(results, 'Rivers - Full.log'), 'rb') as log:
            text = subprocess.run([TOOL, 'unscramble', '--key', 'log'], stdin=log, capture_output=True, env=ENV).stdout
        self.assertIn(b'Score: 3 correct of 3 total questions.', text)

    def test_a_folder_of_another_test_is_refused(self):
        d = tempfile.mkdtemp()
        test, results = os.path.join(d, 'rivers.ard'), os.path.join(d, 'r')
        subprocess.run([TOOL, 'save', test], input=json.dumps(TEST), text=True, check=True, env=ENV,
                       stdout=subprocess.DEVNULL)
        Server(test, results, '--port', str(free_port())).stop()
        changed = dict(TEST, title='Rivers 2')
        subprocess.run([TOOL, 'save', test], input=json.dumps(changed), text=True, check=True, env=ENV,
                       stdout=subprocess.DEVNULL)
        out = subprocess.run([TOOL, 'serve', test, '--results', results, '--bind', '127.0.0.1'], capture_output=True,
                             text=True, env=ENV, timeout=30)
        self.assertEqual(out.returncode, 1)
        self.assertIn('another test', out.stderr)
        os.symlink(os.path.expanduser('~'), os.path.join(d, 'link'))
        out = subprocess.run([TOOL, 'serve', test, '--results', os.path.join(d, 'link'), '--bind', '127.0.0.1'],
                             capture_output=True, text=True, env=ENV, timeout=30)
        self.assertEqual(out.returncode, 1)
        self.assertIn('symbolic link', out.stderr)


if __name__ == '__main__':
    unittest.main(verbosity=2)
