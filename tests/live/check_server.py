#!/usr/bin/env python3
"""The live class's server as students' pages and hostile clients meet it:
`ardeno-tool serve` on loopback, spoken to over real sockets.

    check_server.py ARDENO_TOOL
"""
import atexit
import base64
import collections
import concurrent.futures
import gzip
import hashlib
import itertools
import re
import wave
import http.client
import json
import os
import select
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
TOOL = os.path.abspath(TOOL) if os.sep in TOOL else TOOL
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


RUNNING = []


class Server:
    """`ardeno-tool serve` in the background; stopped at the end of the run
    whatever an assertion did (see stop_every_server)."""

    def __init__(self, test, results, *extra, bind=('--bind', '127.0.0.1'), disk_full=None,
                 joins_per_minute=100000, stderr=subprocess.DEVNULL):
        limits = ('--joins-per-minute', str(joins_per_minute)) if joins_per_minute else ()
        self.proc = subprocess.Popen([TOOL, 'serve', test, '--results', results, *bind, *limits, *extra],
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=stderr, env=ENV, text=True,
                                     preexec_fn=disk_full_at(disk_full) if disk_full else None)
        RUNNING.append(self.proc)
        self.address = self.proc.stdout.readline().strip()
        if not self.address:
            self.proc.kill()
            raise RuntimeError('no join address')
        parts = urllib.parse.urlsplit(self.address)
        self.host = parts.hostname
        self.port = parts.port
        self.base = parts.path

    def say(self, line, answer=None):
        """The teacher types a line in the tool's terminal and, when told
        the answer to expect, waits until the tool has said it (a server
        started with stderr=subprocess.PIPE): the command is then in force."""
        self.proc.stdin.write(line + '\n')
        self.proc.stdin.flush()
        while answer is not None:
            said = self.proc.stderr.readline()
            if not said:
                raise RuntimeError('the tool ended before it answered %r' % line)
            if answer in said:
                break

    def stop(self, sig=signal.SIGTERM):
        self.proc.send_signal(sig)
        status = self.proc.wait(timeout=20)
        self.proc.stdout.close()
        self.proc.stdin.close()
        return status


def stop_every_server():
    for proc in RUNNING:
        if proc.poll() is None:
            proc.kill()
            proc.wait()


atexit.register(stop_every_server)


def save_test(folder, test=TEST):
    path = os.path.join(folder, 'rivers.ard')
    subprocess.run([TOOL, 'save', path], input=json.dumps(test), text=True, check=True, env=ENV, cwd=folder,
                   stdout=subprocess.DEVNULL)
    return path


def served_quiz(page):
    """The test block of a served page, as its script decodes it."""
    start = page.index(b'id="quiz-data"')
    key = base64.b64decode(page[start:].split(b'data-key="')[1].split(b'"')[0])
    block = base64.b64decode(page[start:].split(b'>', 1)[1].split(b'</script>')[0].strip())
    return json.loads(bytes(b ^ key[i % len(key)] ^ ((i * 131 + 7) & 0xFF) for i, b in enumerate(block)))


def request(port, method, path, body=None, headers=None, source=None, host='127.0.0.1'):
    conn = http.client.HTTPConnection(host, port, timeout=10, source_address=(source, 0) if source else None)
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
        stop_every_server()

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
        quiz = served_quiz(page)
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
        # In any order (a student may see an order of their own); the test's
        # identity only once every answer is in.
        status, third = self.answer(token, 3, 'A')
        self.assertEqual((status, third['correct'], third['score'], 'test' in third), (200, True, 1, False))
        self.assertEqual(self.answer(token, 2, 'B')[0], 400)          # not an option of a true/false question
        self.assertEqual(self.post('finish', {'student': token, 'seconds': 5})[0], 409)
        status, second = self.answer(token, 2, 'False')
        self.assertEqual((second['score'], 'test' in second), (2, True))
        resend = self.answer(token, 3, 'D')[1]                        # a resend: what was given first stands
        self.assertEqual((resend['given'], resend['correct']), ('A', True))
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

    def test_a_name_is_the_class_s_once_and_a_finished_student_cannot_start_again(self):
        self.take('Same Name', KEY)
        # The page's "Start again" after the report: the feedback showed
        # every right answer, so the second attempt is refused.
        for spelling in ['Same Name', 'same  name', '\uff33ame Name']:
            status, body = self.post('join', {'name': spelling})
            self.assertEqual(status, 409, spelling)
            self.assertIn('in use', body['error'])
        self.assertEqual([f for f in self.logs() if 'Same Name' in f], ['Rivers - Same Name.log'])
        # ... unless the teacher allows one retake.
        self.server.say('retake same name')
        deadline = time.monotonic() + 10
        while True:
            status, body = self.post('join', {'name': 'Same Name'})
            if status != 409 or time.monotonic() > deadline:
                break
            time.sleep(0.1)
        self.assertEqual(status, 201, body)
        for q, given in enumerate(KEY, 1):
            self.assertEqual(self.answer(body['student'], q, given)[0], 200)
        self.assertEqual(self.post('finish', {'student': body['student'], 'seconds': 9})[0], 200)
        self.assertIn('Rivers - Same Name (2).log', self.logs())
        self.assertEqual(self.post('join', {'name': 'Same Name'})[0], 409, 'one retake, not more')

    def test_a_name_is_printed_as_typed(self):
        self.take('%2e%2e%2f', KEY)
        deadline = time.monotonic() + 10
        lines = []
        while time.monotonic() < deadline and not any('%2e%2e%2f' in line for line in lines):
            ready, _, _ = select.select([self.server.proc.stdout], [], [], 0.5)
            if ready:
                lines.append(self.server.proc.stdout.readline())
        self.assertIn('%2e%2e%2f: 3 of 3, Rivers - %2e%2e%2f.log\n', lines)

    def test_slow_clients_hold_up_no_student(self):
        # 4,100 connections from one machine, each sending a byte now and
        # then: the server keeps a few of them, refuses the rest at once, and
        # a student on another machine takes the test as if alone.
        slow = []
        for _ in range(4100):
            try:
                s = socket.create_connection(('127.0.0.1', self.server.port), source_address=('127.0.0.2', 0))
                s.sendall(b'G')
                slow.append(s)
            except OSError:
                pass
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


class RoomTest(unittest.TestCase):
    """The room the teacher holds: what a page may learn, who may join, one
    class per folder, and how the server is reached."""

    def setUp(self):
        self.dir = tempfile.mkdtemp()
        self.test = save_test(self.dir)
        self.results = os.path.join(self.dir, 'r')

    def tearDown(self):
        stop_every_server()

    def test_no_key_is_found_by_trying_every_combination_against_the_page(self):
        # The attack: every combination of right answers made into a test
        # file, its digest compared with what the served page holds.
        server = Server(self.test, self.results, '--port', str(free_port()))
        status, page = request(server.port, 'GET', server.base)
        self.assertEqual(status, 200)
        quiz = served_quiz(page)
        digests = {}
        for combo in itertools.product(range(4), range(2), range(4)):
            records = [r.rsplit('\u00a9', 1)[0] + '\u00a9 %d' % c for r, c in zip(TEST['records'], combo)]
            path = save_test(tempfile.mkdtemp(), dict(TEST, records=records))
            with open(path, 'rb') as f:
                digests[combo] = hashlib.sha256(f.read()).hexdigest()[:12]
        with open(self.test, 'rb') as f:
            real = hashlib.sha256(f.read()).hexdigest()[:12]
        self.assertEqual(digests[(2, 1, 0)], real, 'the search is the one that found the key before')
        found = [combo for combo, digest in digests.items() if digest.encode() in page or digest == quiz['id']]
        self.assertEqual(found, [])
        # The page is named by its class: random, and the same at a restart.
        self.assertRegex(quiz['id'], r'^[0-9a-f]{16}$')
        server.stop()
        again = Server(self.test, self.results, bind=())
        self.assertEqual(served_quiz(request(again.port, 'GET', again.base)[1])['id'], quiz['id'])
        # The log written for the teacher names the test itself.
        token = request(again.port, 'POST', again.base + 'join', {'name': 'Anna'})[1]['student']
        for q, given in enumerate(KEY, 1):
            status, body = request(again.port, 'POST', again.base + 'answer',
                                   {'student': token, 'question': q, 'answer': given, 'ms': 5})
            self.assertEqual(body.get('test'), real if q == 3 else None)

    def test_one_device_cannot_fill_the_class(self):
        server = Server(self.test, self.results, '--port', str(free_port()), joins_per_minute=None)
        statuses = collections.Counter()
        for n in range(1000):
            statuses[request(server.port, 'POST', server.base + 'join', {'name': 'Bot %d' % n}, source='127.0.0.2')[0]] += 1
        self.assertEqual(statuses, collections.Counter({201: 3, 429: 997}))
        status, body = request(server.port, 'POST', server.base + 'join', {'name': 'Bot 999'}, source='127.0.0.2')
        self.assertIn('Wait a minute', body['error'])
        # A real student on another device joins and takes the test.
        status, body = request(server.port, 'POST', server.base + 'join', {'name': 'Real Student'}, source='127.0.0.3')
        self.assertEqual(status, 201, body)
        token = body['student']
        for q, given in enumerate(KEY, 1):
            self.assertEqual(request(server.port, 'POST', server.base + 'answer',
                                     {'student': token, 'question': q, 'answer': given, 'ms': 5},
                                     source='127.0.0.3')[0], 200)
        self.assertEqual(request(server.port, 'POST', server.base + 'finish', {'student': token, 'seconds': 5},
                                 source='127.0.0.3')[0], 200)

    def test_the_teacher_locks_the_room_lets_one_in_and_takes_one_out(self):
        names = os.path.join(self.dir, 'class.csv')
        with open(names, 'w', encoding='cp1252') as f:
            f.write('number;name\n1;Anna\n2;Zoë\n3;Late Comer\n')
        server = Server(self.test, self.results, '--port', str(free_port()), '--class', names, stderr=subprocess.PIPE)
        post = lambda what, body: request(server.port, 'POST', server.base + what, body)
        self.assertEqual(request(server.port, 'GET', server.base + 'names'),
                         (200, {'names': ['Anna', 'Zoë', 'Late Comer']}))
        self.assertEqual(post('join', {'name': 'Mallory'})[0], 403)
        status, body = post('join', {'name': 'zoë'})
        self.assertEqual(status, 201)
        zoe = body['student']
        server.say('lock', answer='Joining is locked')
        self.assertEqual(post('join', {'name': 'Anna'}),
                         (403, {'error': 'The class has started. Ask your teacher to let you in.'}))
        server.say('let in late comer', answer='may join')
        server.say('remove zoë', answer='is out of the class')
        status, body = post('join', {'name': 'Late Comer'})
        self.assertEqual(status, 201, body)
        status, body = post('answer', {'student': zoe, 'question': 1, 'answer': 'C', 'ms': 1})
        self.assertEqual((status, body), (403, {'error': 'Your teacher has taken you out of the class.'}))

    def test_lock_after_minutes(self):
        server = Server(self.test, self.results, '--port', str(free_port()), '--lock-after', '0.002')
        deadline = time.monotonic() + 10
        status = 201
        while status == 201 and time.monotonic() < deadline:
            status = request(server.port, 'POST', server.base + 'join', {'name': 'N%f' % time.monotonic()})[0]
            time.sleep(0.02)
        self.assertEqual(status, 403)

    def test_one_server_per_results_folder(self):
        first = Server(self.test, self.results, '--port', str(free_port()))
        out = subprocess.run([TOOL, 'serve', self.test, '--results', self.results, '--bind', '127.0.0.1'],
                             capture_output=True, text=True, env=ENV, timeout=30)
        self.assertEqual(out.returncode, 1)
        self.assertIn('is in use by another live class (ardeno-tool, process %d)' % first.proc.pid, out.stderr)
        self.assertEqual(request(first.port, 'GET', first.base)[0], 200)

    def test_media_by_byte_ranges_and_the_page_compressed(self):
        with wave.open(os.path.join(self.dir, 'beep.wav'), 'wb') as w:
            w.setnchannels(1)
            w.setsampwidth(1)
            w.setframerate(8000)
            w.writeframes(bytes(range(256)) * 8)
        test = save_test(self.dir, dict(TEST, records=[TEST['records'][0].replace('\u00a9none\u00a9', '\u00a9beep.wav\u00a9')]
                                        + TEST['records'][1:]))
        server = Server(test, self.results, '--port', str(free_port()))
        status, page = request(server.port, 'GET', server.base)
        media = re.findall(rb'media/1\.\w+', page)
        self.assertTrue(media, 'the page names its media file')
        path = server.base + media[0].decode()
        status, whole = request(server.port, 'GET', path)
        self.assertEqual(status, 200)
        conn = http.client.HTTPConnection('127.0.0.1', server.port, timeout=10)
        for asked, part, content_range in [('bytes=4-11', whole[4:12], 'bytes 4-11/%d' % len(whole)),
                                           ('bytes=-4', whole[-4:], 'bytes %d-%d/%d' % (len(whole) - 4, len(whole) - 1, len(whole))),
                                           ('bytes=100-', whole[100:], 'bytes 100-%d/%d' % (len(whole) - 1, len(whole)))]:
            conn.request('GET', path, headers={'Range': asked})
            r = conn.getresponse()
            self.assertEqual((r.status, r.getheader('Content-Range'), r.read()), (206, content_range, part), asked)
        conn.request('GET', path, headers={'Range': 'bytes=%d-' % (len(whole) + 5)})
        r = conn.getresponse()
        r.read()
        self.assertEqual((r.status, r.getheader('Content-Range')), (416, 'bytes */%d' % len(whole)))
        conn.request('GET', server.base, headers={'Accept-Encoding': 'gzip, deflate'})
        r = conn.getresponse()
        packed = r.read()
        self.assertEqual(r.getheader('Content-Encoding'), 'gzip')
        self.assertEqual(gzip.decompress(packed), page)
        self.assertLess(len(packed), len(page) / 2)
        conn.close()
        # A request stating both its length and its chunks is refused.
        reply = raw_exchange(server.port, b'POST ' + server.base.encode() + b'join HTTP/1.1\r\nHost: x\r\n'
                             b'Content-Length: 4\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n')
        self.assertIn(b' 400 ', reply.split(b'\r\n')[0])

    def test_bind_names_and_a_changed_port_said(self):
        for bind, pattern in [('localhost', r'^http://127\.0\.0\.1:\d+/'), ('::1', r'^http://\[::1\]:\d+/'),
                              ('0.0.0.0', r'^http://(?!0\.0\.0\.0)[0-9.]+:\d+/')]:
            server = Server(self.test, os.path.join(self.dir, bind), '--port', str(free_port()), bind=('--bind', bind))
            self.assertRegex(server.address, pattern)
            self.assertEqual(request(server.port, 'GET', server.base, host=server.host)[0], 200, bind)
            server.stop()
        port = free_port()
        Server(self.test, self.results, '--port', str(port)).stop()
        with socket.socket() as taken:
            taken.bind(('127.0.0.1', port))
            taken.listen()
            again = Server(self.test, self.results, bind=(), stderr=subprocess.PIPE)
            self.assertNotEqual(again.port, port)
            note = again.proc.stderr.readline()
            self.assertIn("The class's address has changed (it was http://127.0.0.1:%d/" % port, note)
            again.stop()

    def test_names_beyond_windows_1252_are_kept_as_typed(self):
        server = Server(self.test, self.results, '--port', str(free_port()))
        post = lambda what, body: request(server.port, 'POST', server.base + what, body)
        status, body = post('join', {'name': '张' * 100})
        self.assertEqual(status, 422)
        self.assertIn('too long', body['error'])
        for name in ['张伟', '王小明', 'Ελένη']:
            token = post('join', {'name': name})[1]['student']
            for q, given in enumerate(KEY, 1):
                post('answer', {'student': token, 'question': q, 'answer': given, 'ms': 5})
            self.assertEqual(post('finish', {'student': token, 'seconds': 5})[0], 200, name)
        out = subprocess.run([TOOL, 'class', '--folder', self.results, '--json'], capture_output=True, text=True,
                             env=ENV)
        self.assertEqual(sorted(s['name'] for s in json.loads(out.stdout)['students']), sorted(['张伟', '王小明', 'Ελένη']))
        self.assertIn('Rivers - 张伟.log', os.listdir(self.results))
        # What is made of the class is as private as its logs, whatever the
        # umask, and names the logs, not the folders of this computer.
        csv, pdf = os.path.join(self.dir, 'class.csv'), os.path.join(self.dir, 'class.pdf')
        subprocess.run([TOOL, 'class', '--folder', self.results, '--csv', csv, '--pdf', pdf], env=ENV, check=True,
                       stdout=subprocess.DEVNULL, preexec_fn=lambda: os.umask(0))
        for made in (csv, pdf):
            self.assertEqual(stat.S_IMODE(os.stat(made).st_mode), 0o600, made)
        with open(csv, encoding='utf-8') as f:
            text = f.read()
        self.assertIn('Rivers - 张伟.log', text)
        self.assertNotIn(self.results, text)
        self.assertNotIn(self.results, out.stdout)


class RestartTest(unittest.TestCase):
    def tearDown(self):
        stop_every_server()

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

    def test_three_kill_9s_while_200_students_hand_in_leave_one_log_each(self):
        d = tempfile.mkdtemp()
        test, results = save_test(d), os.path.join(d, 'r')
        server = Server(test, results, '--port', str(free_port()))
        tokens = []
        for n in range(200):
            token = request(server.port, 'POST', server.base + 'join', {'name': 'Kid %d' % n})[1]['student']
            for q, given in enumerate(KEY, 1):
                request(server.port, 'POST', server.base + 'answer', {'student': token, 'question': q, 'answer': given,
                                                                       'ms': 5})
            tokens.append(token)

        def hand_in(server, told):
            def send(token):
                try:
                    if request(server.port, 'POST', server.base + 'finish', {'student': token, 'seconds': 60})[0] == 200:
                        told.add(token)
                except OSError:
                    pass
            with concurrent.futures.ThreadPoolExecutor(8) as pool:
                list(pool.map(send, tokens))

        told = set()
        for crash in range(3):
            worker = threading.Thread(target=hand_in, args=(server, told))
            worker.start()
            time.sleep(0.3 + 0.3 * crash)
            server.stop(signal.SIGKILL)
            worker.join()
            server = Server(test, results, bind=())
        # Every page sends its result again until it is told it arrived.
        hand_in(server, told)
        self.assertEqual(len(told), 200)
        self.assertEqual(server.stop(), 0)
        files = os.listdir(results)
        self.assertEqual(sorted(f for f in files if f.endswith('.log')), sorted('Rivers - Kid %d.log' % n for n in range(200)))
        self.assertEqual(sorted(f for f in files if not f.endswith('.log')), ['live-class.journal', 'live-class.owner'])
        self.assertEqual(len(json.loads(subprocess.run([TOOL, 'class', '--folder', results, '--json'], capture_output=True,
                                                       text=True, env=ENV).stdout)['students']), 200)

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
        # The HTTP server comes in a module loaded when the class starts:
        # without it, the class is not served and the tool says why.
        empty = tempfile.mkdtemp()
        out = subprocess.run([TOOL, 'serve', test, '--results', os.path.join(d, 'r2'), '--bind', '127.0.0.1'],
                             capture_output=True, text=True, env=dict(ENV, ARDENO_MODULE_DIR=empty), timeout=30)
        self.assertEqual(out.returncode, 1)
        self.assertIn('The class cannot be served', out.stderr)
        self.assertIn('libardeno_httpserver.so', out.stderr)


if __name__ == '__main__':
    unittest.main(verbosity=2)
