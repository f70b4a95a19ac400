#!/usr/bin/env python3
"""Writes the result logs of a made-up class, as the web quiz saves them
(Windows-1252 lines scrambled with the score-log key, CR LF): for looking at
the Class Results window and for its benchmark.

    make-class-logs.py OUT_DIR [--students N] [--questions Q] [--seed S]
"""
import argparse
import datetime
import os
import random

KEY = 0xB6
FIRST = ['Anna', 'Ben', 'Chloé', 'Dmitrij', 'Emma', 'Farid', 'Greta', 'Hugo', 'Inès', 'Jonas', 'Kira', 'Lukas',
         'Maja', 'Noah', 'Olivia', 'Paul', 'Quentin', 'Rosa', 'Sami', 'Tilda', 'Uma', 'Viktor', 'Wen', 'Xavier',
         'Yara', 'Zoë', 'Björn', 'Céline', 'Dana', 'Élodie']
LAST = ['Berg', 'Costa', 'Dubois', 'Eriksson', 'Fischer', 'García', 'Hansen', 'Ivanov', 'Jensen', 'Kowalski',
        'Lind', 'Müller', 'Novak', 'Olsen', 'Petrov', 'Quist', 'Rossi', 'Schmidt', 'Tanaka', 'Ueda']


def time_text(seconds):
    return f'{seconds} seconds' if seconds <= 60 else f'{seconds // 60} minutes and {seconds % 60} seconds'


def write_log(path, lines):
    with open(path, 'wb') as f:
        for line in lines:
            f.write(bytes(b ^ KEY for b in line.encode('cp1252', 'replace')) + b'\r\n')


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('out')
    ap.add_argument('--students', type=int, default=30)
    ap.add_argument('--questions', type=int, default=10)
    ap.add_argument('--seed', type=int, default=7)
    a = ap.parse_args()
    rnd = random.Random(a.seed)
    os.makedirs(a.out, exist_ok=True)
    kinds = ['m' if rnd.random() < 0.7 else 't' for _ in range(a.questions)]
    right = [rnd.choice('ABCD') if k == 'm' else rnd.choice(['True', 'False']) for k in kinds]
    # Each question's difficulty, and one tempting wrong answer.
    ease = [rnd.uniform(0.15, 0.95) for _ in kinds]
    lure = [rnd.choice([o for o in 'ABCD' if o != r]) if k == 'm' else ('False' if r == 'True' else 'True')
            for k, r in zip(kinds, right)]
    start = datetime.datetime(2026, 12, 1, 9, 0, 0)
    for s in range(a.students):
        name = f'{FIRST[s % len(FIRST)]} {LAST[(s * 7) % len(LAST)]}' + (f' {s // len(FIRST) + 1}' if s >= len(FIRST) else '')
        ability = rnd.uniform(-0.25, 0.25)
        given = []
        for k, r, e, l in zip(kinds, right, ease, lure):
            if rnd.random() < min(0.98, max(0.02, e + ability)):
                given.append(r)
            elif k == 't' or rnd.random() < 0.6:
                given.append(l)
            else:
                given.append(rnd.choice([o for o in 'ABCD' if o != r]))
        score = sum(g == r for g, r in zip(given, right))
        seconds = rnd.randint(20 * a.questions, 45 * a.questions) // 2
        date = start + datetime.timedelta(minutes=s * 3 + rnd.randint(0, 2), seconds=rnd.randint(0, 59))
        lines = ['Ardeno web quiz result', 'Test: Rivers of Europe', 'Test id: 5e1a0c93d2f4',
                 'Class/Teacher: Class 7B, Ms Lind', f'Student: {name}', f'Date: {date:%Y-%m-%d %H:%M:%S}',
                 f'Score: {score} correct of {a.questions} total questions.',
                 f'Percent: {score * 100 // a.questions}', f'Time spent: {time_text(seconds)}']
        lines += [f'Question {i + 1}: answered {g}, right answer {r}' for i, (g, r) in enumerate(zip(given, right))]
        write_log(os.path.join(a.out, f'Rivers of Europe - {name}.log'), lines)


if __name__ == '__main__':
    main()
