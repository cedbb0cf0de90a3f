#!/usr/bin/python3
"""The teacher's class view in headless Chromium against the real `--serve`:
with the page open, simulated students (plain HTTP, no second browser)
answer, and the page's table and plot show each answer as the server
stores it; the z-ROC, the sort, the comparison of the two designs and the
summary's CSV and the report.

    class_test.py ROCRATING

Times here are failure limits only. With CLASS_SHOTS=DIR the page's
screenshots are kept there."""

import base64
import json
import os
import random
import re
import sys
import tempfile
import urllib.request

from selenium.webdriver.common.by import By

from page_test import Server, Watched, wait_for

RECORDED = 40
DESIGNS = [f'name = "{name}"\npractice_trials = 2\nrecorded_trials = {RECORDED}\nexposure_ms = {ms}\n'
           for name, ms in (('brief', 50), ('long', 200))]
CRITERIA = (-0.5, 0.4, 1.2)  # of the simulated observers, on the noise's scale


def call(method, url, body=None, key=None):
    request = urllib.request.Request(url, method=method, data=json.dumps(body).encode() if body else None,
                                     headers={'Content-Type': 'application/json', **({'X-Write-Key': key} if key else {})})
    with urllib.request.urlopen(request, timeout=10) as r:
        data = r.read()
        return json.loads(data) if r.headers.get_content_type() == 'application/json' else data.decode()


class Student:
    """A run made by the server and answered as a binormal observer would."""

    def __init__(self, server, name, design, d, seed):
        self.server, self.random, self.d = server, random.Random(seed), d
        run = call('POST', f'{server.url}/api/runs', {'observer': name, 'design': design})
        self.id, self.key, self.trials = run['run'], run['key'], run['trials']

    def answer(self, trial):
        t = self.trials[trial - 1]
        x = self.random.gauss(self.d if t['stimulus'] == 'signal' else 0, 1)
        body = {'response': 1 + sum(x > c for c in CRITERIA), 'exposure_ms': 50, 'asked_ms': 50,
                'frame_ms': 16.7, 'rating_ms': 700, 'unsent': 1}
        call('PUT', f'{self.server.url}/api/runs/{self.id}/answers/{trial}', body, self.key)

    def answer_all(self):
        for t in self.trials:
            self.answer(t['trial'])


def table(driver):
    return driver.execute_script('''
        const heads = [...document.querySelectorAll('#class-head th')].map((th) => th.textContent);
        const rows = [...document.querySelectorAll('#class-body tr')].map((tr) => [...tr.cells].map((c) => c.textContent));
        return rows.map((r) => Object.fromEntries(heads.map((h, i) => [h, r[i]])));''')


def shot(driver, path):
    """The class view whole, beyond the window if need be."""
    box = driver.execute_script(
        'const r = document.querySelector(".class-view").getBoundingClientRect();'
        'return {x: r.x + scrollX, y: r.y + scrollY, width: r.width, height: r.height, scale: 1}')
    png = driver.execute_cdp_cmd('Page.captureScreenshot', {'clip': box, 'captureBeyondViewport': True})
    with open(path, 'wb') as f:
        f.write(base64.b64decode(png['data']))


def main():
    rocrating = sys.argv[1]
    shots = os.environ.get('CLASS_SHOTS')
    with tempfile.TemporaryDirectory(prefix='rocrating-class-') as folder:
        server = Server(rocrating, folder, DESIGNS)
        with Watched(server) as watch:
            teacher = wait_for('the teacher link', lambda: re.search(r'teacher: (\S+)', server.output()))[1]
            for i in range(4):
                Student(server, f'学生{i + 1}', ('brief', 'long')[i % 2], 0.8 + 0.5 * (i % 2), i).answer_all()
            page = watch.open(dict(size=(1366, 768), ratio=1, by='clicks'))
            page.driver.get(teacher.replace('0.0.0.0', '127.0.0.1') + '&lang=ja')
            wait_for('the class', lambda: len(table(page.driver)) == 4)
            late = Student(server, '遅れた学生', 'brief', 1.0, 9)
            late.answer(1)
            wait_for('the new run', lambda: any(r['観察者'] == '遅れた学生' for r in table(page.driver)))
            for t in late.trials[1:]:
                late.answer(t['trial'])
            wait_for('every answer of the new run',
                     lambda: [r['記録試行'] for r in table(page.driver) if r['観察者'] == '遅れた学生'] == [str(RECORDED)])
            wait_for('its points on the plot', lambda: page.data('plotPoints') == str(5 * 3))
            heads = page.driver.find_elements(By.CSS_SELECTOR, '#class-head th')
            d_head = heads[[h.text for h in heads].index('d')]
            d_head.click()
            d_head.click()
            ds = [float(r['d'].replace('−', '-')) for r in table(page.driver) if r['d'] != '—']
            assert ds == sorted(ds, reverse=True), f'sorted by d, falling: {ds}'
            wait_for('the comparison', lambda: len(page.driver.find_elements(By.CSS_SELECTOR, '#compare-lines tr')) >= 4)
            if shots:
                shot(page.driver, os.path.join(shots, 'class-roc.png'))
            page.driver.find_element(By.CSS_SELECTOR, 'input[value="zroc"]').click()
            wait_for('the z-ROC', lambda: page.driver.execute_script(
                'return document.querySelector("input[value=zroc]").checked'))
            if shots:
                shot(page.driver, os.path.join(shots, 'class-zroc.png'))
            summary = call('GET', teacher.replace('0.0.0.0', '127.0.0.1').replace('/teacher?', '/api/teacher/class-summary.csv?'))
            assert [line.split(',')[0] for line in summary.splitlines()[1:]] == ['brief', 'long'], summary
            link = page.driver.find_element(By.ID, 'report-pdf').get_attribute('href')
            with urllib.request.urlopen(link, timeout=120) as r:
                pdf = r.read()
                assert r.headers.get_content_type() == 'application/pdf' and pdf.startswith(b'%PDF'), pdf[:100]
    print('class view: every answer shown, sorted, compared, reported')


if __name__ == '__main__':
    main()
