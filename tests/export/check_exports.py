#!/usr/bin/python3
"""Reads back the exports of one store with independent readers and compares them with its dump.

check_exports.py DIR --query TEXT --trigram TEXT --user NAME
check_exports.py --users-archive DIR | --desktop-workbooks DIR | --several-users DIR | --csv FILE
DIR holds dump.json, calendar.ics, contacts.vcf, store.sqlite, minutes.xlsx (with people.json, the
people listing's rows), archive/ and vault/ (with the
sketches' pixels as rgb/<name>.rgb) as the export test writes them; NAME is the Palm user folder's name, which the UIDs carry. Exits 1 with a line per
difference.
"""
import argparse
import base64
import csv
import datetime
import hashlib
import html.parser
import json
import os
import re
import sqlite3
import subprocess
import sys
import tempfile
import unicodedata
import zlib
from urllib.parse import quote, unquote

import icalendar
import openpyxl
import vobject
import yaml

problems = []


def expect(condition, what):
    if not condition:
        problems.append(what)


def clean(text):
    """A text as the line formats carry it: CR dropped, other control characters as spaces."""
    text = text.replace('\r', '')
    return ''.join(' ' if (ord(c) < 0x20 and c != '\n') or c == '\x7f' else c for c in text)


def uid_maker(user):
    """UIDs as the exports give them: kind, id, "-n" for the n-th record of a repeated id, and a
    token of the user (FNV-1a of the folder name in CP932, ASCII letters folded)."""
    token = 2166136261
    for byte in user.encode('cp932').lower():
        token = ((token ^ byte) * 16777619) & 0xFFFFFFFF

    def uid(kind, record_id, occurrence):
        repeat = f'-{occurrence}' if occurrence > 1 else ''
        return f'{kind}-{record_id}{repeat}.{token:08x}@tavolex'
    return uid


def occurrences(ids):
    seen = {}
    result = []
    for i in ids:
        seen[i] = seen.get(i, 0) + 1
        result.append(seen[i])
    return result


def attendee_uri(item):
    """mailto: with the address book's first E-mail, percent-encoded; the attendee's URN when there
    is none or it is not an address."""
    address = item['address'] or {'phones': []}
    email = next((p['number'] for p in address['phones'] if p['label'] == 'E-mail' and p['number']), '').strip(' ')
    local, at, domain = email.partition('@')
    if local and domain and '@' not in domain and not any(ord(c) <= 0x20 or ord(c) == 0x7f for c in email):
        return 'mailto:' + quote(email, safe='@')
    return f"urn:x-tavolex:attendee:{item['id']}"


def fold(text):
    return unicodedata.normalize('NFKC', text).lower()


def check_lines(path):
    data = open(path, 'rb').read()
    expect(data.endswith(b'\r\n'), f'{path}: no CR LF at the end')
    for number, line in enumerate(data.split(b'\r\n')[:-1], 1):
        expect(len(line) <= 75, f'{path}:{number}: {len(line)} octets')
        expect(b'\n' not in line and b'\r' not in line, f'{path}:{number}: a bare line end')
        try:
            line.decode('utf-8')
        except UnicodeDecodeError:
            problems.append(f'{path}:{number}: a UTF-8 character split by folding')


def meeting_texts(meeting):
    texts = [meeting['title'], meeting['location'], meeting['category']]
    for item in meeting['items']:
        if item['kind'] in ('agenda', 'note', 'todo'):
            texts.append(item['text'])
        elif item['kind'] == 'sketch':
            texts.append(item['title'])
        elif item['kind'] == 'attendee':
            texts += [item['name'], item['company']]
    return texts


def check_calendar(folder, dump, uid):
    path = os.path.join(folder, 'calendar.ics')
    check_lines(path)
    calendar = icalendar.Calendar.from_ical(open(path, 'rb').read())
    events = {str(e['UID']): e for e in calendar.walk('VEVENT')}
    todos = {str(t['UID']): t for t in calendar.walk('VTODO')}
    # A meeting without a real date is left out; every other one is an event of its own.
    dated = [m for m in dump['meetings'] if m['date'] is not None]
    expect(len(calendar.walk('VEVENT')) == len(events) == len(dated), 'calendar: VEVENT count')
    expect(len(calendar.walk('VTODO')) == len(todos), 'calendar: a VTODO UID twice')
    expect(len(calendar.subcomponents) == len(events) + len(todos), 'calendar: components')
    print(f'calendar: {len(events)} events, {len(todos)} to-dos')
    meeting_uids = {m['number']: uid('meeting', m['id'], n)
                    for m, n in zip(dump['meetings'], occurrences([m['id'] for m in dump['meetings']]))}
    # The stores read here name each to-do from one meeting, in store order: its n-th to-do item is
    # the n-th to-do record.
    listed = [(m, item) for m in dump['meetings'] for item in m['items'] if item['kind'] == 'todo']
    todo_uids = [uid('todo', item['id'], n) for (m, item), n in zip(listed, occurrences([i['id'] for _, i in listed]))]
    expect(len(todos) == len(listed), 'calendar: VTODO count')
    for m in dump['meetings']:
        e = events.get(meeting_uids[m['number']])
        if m['date'] is None:
            expect(e is None, f"calendar: a VEVENT for undated meeting {m['id']}")
        elif e is None:
            problems.append(f"calendar: no VEVENT for meeting {m['id']}")
        if e is None:
            continue
        expect(str(e.get('SUMMARY', '')) == clean(m['title']), f"calendar: SUMMARY of {m['id']}")
        expect(str(e.get('LOCATION', '')) == clean(m['location']), f"calendar: LOCATION of {m['id']}")
        if m['category']:
            expect(e.get('CATEGORIES').cats == [clean(m['category'])], f"calendar: CATEGORIES of {m['id']}")
        start = e.get('DTSTART')
        if m['start'] is None:
            expect(start.dt == datetime.date.fromisoformat(m['date']), f"calendar: all-day date of {m['id']}")
            expect(e['DTEND'].dt == start.dt + datetime.timedelta(days=1), f"calendar: all-day end of {m['id']}")
        else:
            expect(start.dt == datetime.datetime.fromisoformat(m['date'] + 'T' + m['start']) and start.dt.tzinfo is None,
                   f"calendar: DTSTART of {m['id']}")
            if m['end'] is not None and m['end'] >= m['start']:
                expect(e['DTEND'].dt.strftime('%H:%M') == m['end'], f"calendar: DTEND of {m['id']}")
            else:
                expect('DTEND' not in e, f"calendar: DTEND of {m['id']}, which has no end after its start")
        description = str(e.get('DESCRIPTION', ''))
        for item in m['items']:
            if item['kind'] in ('agenda', 'note'):
                expect(clean(item['text']) in description, f"calendar: text of {item['kind']} {item['id']}")
        attendees = e.get('ATTENDEE', [])
        attendees = attendees if isinstance(attendees, list) else [attendees]
        wanted = [i for i in m['items'] if i['kind'] == 'attendee']
        expect(len(attendees) == len(wanted), f"calendar: attendees of {m['id']}")
        for got, want in zip(attendees, wanted):
            expect(got.params['CN'] == clean(want['name']).replace('"', ' ').replace('\n', ' '),
                   f"calendar: CN of attendee {want['id']}")
            expect(str(got) == attendee_uri(want), f"calendar: address of attendee {want['id']}: {str(got)}")
            expect(got.params['PARTSTAT'] == ('DECLINED' if want['absent'] else 'ACCEPTED'),
                   f"calendar: PARTSTAT of attendee {want['id']}")
    for (m, item), todo_uid in zip(listed, todo_uids):
        t = todos.get(todo_uid)
        if t is None:
            problems.append(f"calendar: no VTODO for to-do {item['id']}")
            continue
        expect(str(t.get('RELATED-TO')) == str(meeting_uids[m['number']] if m['date'] else None),
               f"calendar: RELATED-TO of to-do {item['id']}")
        expect(str(t['SUMMARY']) == clean(item['text']), f"calendar: SUMMARY of to-do {item['id']}")
        expect(int(t.get('PRIORITY', 0)) == item['priority'], f"calendar: PRIORITY of to-do {item['id']}")
        expect(str(t['STATUS']) == ('COMPLETED' if item['done'] else 'NEEDS-ACTION'),
               f"calendar: STATUS of to-do {item['id']}")
        due = t.get('DUE')
        if item['dueDate'] is not None:
            y, mo, d = map(int, item['dueDate'].split('-'))
            expect(item['packedDueDate'] == ((y - 1904) << 9 | mo << 5 | d), f"dump: packed due date of to-do {item['id']}")
        if item['dueDate'] is None:
            expect(due is None, f"calendar: DUE of to-do {item['id']}")
        elif item['dueTime'] is None:
            expect(due.dt == datetime.date.fromisoformat(item['dueDate']), f"calendar: DUE of to-do {item['id']}")
        else:
            expect(due.dt == datetime.datetime.fromisoformat(item['dueDate'] + 'T' + item['dueTime']),
                   f"calendar: DUE of to-do {item['id']}")


def check_contacts(folder, dump, uid):
    path = os.path.join(folder, 'contacts.vcf')
    check_lines(path)
    cards = list(vobject.readComponents(open(path, encoding='utf-8').read()))
    expect(len(cards) == len(dump['addressBook']), 'contacts: card count')
    email_label = 'E-mail'
    print(f'contacts: {len(cards)} cards')
    book = dump['addressBook']
    uids = [uid('address', a['id'], n) for a, n in zip(book, occurrences([a['id'] for a in book]))]
    for card, a, card_uid in zip(cards, dump['addressBook'], uids):
        who = f"contacts: address {a['id']}"
        expect(card.uid.value == card_uid, who + ' UID')
        expect(card.n.value.family == clean(a['lastName']) and card.n.value.given == clean(a['firstName']), who + ' N')
        expect(card.version.value == '3.0', who + ' VERSION')
        name = ' '.join(n for n in (clean(a['lastName']), clean(a['firstName'])) if n) or clean(a['company'])
        expect(card.fn.value == name, who + ' FN')
        if a['company']:
            expect(card.org.value == [clean(a['company'])], who + ' ORG')
        if a['title']:
            expect(card.title.value == clean(a['title']), who + ' TITLE')
        phones = [p for p in a['phones'] if p['number']]
        emails = [clean(p['number']) for p in phones if p['label'] == email_label]
        tels = [clean(p['number']) for p in phones if p['label'] != email_label]
        expect([e.value for e in card.contents.get('email', [])] == emails, who + ' EMAIL')
        expect([t.value for t in card.contents.get('tel', [])] == tels, who + ' TEL')
        if a['address'] or a['city'] or a['zip']:
            adr = card.adr.value
            expect((adr.street, adr.city, adr.region, adr.code, adr.country) ==
                   tuple(clean(a[k]) for k in ('address', 'city', 'state', 'zip', 'country')), who + ' ADR')
        if a['note']:
            expect(card.note.value == clean(a['note']), who + ' NOTE')
        customs = {f'x-tavolex-custom{n}': [clean(text)] for n, text in enumerate(a['custom'], 1) if text}
        expect({k: [v.value for v in card.contents[k]] for k in card.contents if k.startswith('x-tavolex-custom')} == customs,
               who + ' custom fields')


def check_splits(folder):
    """The calendar by year and a card per file: each file read whole by its reader, each event in the
    file of its year with the to-dos related to it, and the files together the whole file's components
    (the cards' CATEGORIES aside, which only split cards carry)."""
    whole = icalendar.Calendar.from_ical(open(os.path.join(folder, 'calendar.ics'), 'rb').read())
    event_uids = {str(e['UID']) for e in whole.walk('VEVENT')}
    parts = []
    split = os.path.join(folder, 'calendar-split')
    names = sorted(os.listdir(split))
    for name in names:
        path = os.path.join(split, name)
        check_lines(path)
        calendar = icalendar.Calendar.from_ical(open(path, 'rb').read())
        mine = {str(e['UID']) for e in calendar.walk('VEVENT')}
        for e in calendar.walk('VEVENT'):
            expect(name == f"{e['DTSTART'].dt.year}.ics", f"calendar split: {e['UID']} in {name}")
        for t in calendar.walk('VTODO'):
            related = str(t.get('RELATED-TO')) if t.get('RELATED-TO') is not None else None
            expect(related in mine if name != 'undated.ics' else related not in event_uids,
                   f"calendar split: to-do {t['UID']} in {name}")
        parts += [c.to_ical() for c in calendar.subcomponents]
    expect(sorted(parts) == sorted(c.to_ical() for c in whole.subcomponents), 'calendar split: not the whole')
    cards = sorted(c.serialize() for c in vobject.readComponents(open(os.path.join(folder, 'contacts.vcf'), encoding='utf-8').read()))
    parts = []
    split = os.path.join(folder, 'contacts-split')
    for name in sorted(os.listdir(split)):
        found = list(vobject.readComponents(open(os.path.join(split, name), encoding='utf-8').read()))
        expect(len(found) == 1 and name.endswith('.vcf'), f'contacts split: {name} is not one card')
        for card in found:
            card.contents.pop('categories', None)
            parts.append(card.serialize())
    expect(parts and sorted(parts) == cards, 'contacts split: not the whole')
    print(f"splits: {', '.join(names)}; {len(parts)} cards")


def check_database(folder, dump, trigram):
    db = sqlite3.connect(os.path.join(folder, 'store.sqlite'))
    expect(db.execute('PRAGMA integrity_check').fetchone()[0] == 'ok', 'sqlite: integrity_check')
    meetings = db.execute('SELECT number, id, date, start, "end", title, location FROM meeting ORDER BY number').fetchall()
    expect(len(meetings) == len(dump['meetings']), 'sqlite: meeting rows')
    for row, m in zip(meetings, dump['meetings']):
        expect(row == (m['number'], m['id'], m['date'], m['start'], m['end'], m['title'], m['location']),
               f"sqlite: meeting {m['number']}")
    links = db.execute('SELECT meeting, position, kind, item_id FROM meeting_item ORDER BY meeting, position').fetchall()
    expected = [(m['number'], p, i['kind'], i['id']) for m in dump['meetings'] for p, i in enumerate(m['items'], 1)]
    expect(links == expected, 'sqlite: meeting_item rows in handheld order')
    for kind, table in (('todo', 'todo'), ('note', 'note'), ('agenda', 'agenda')):
        rows = dict(db.execute(f'SELECT m.item_id, t.text FROM meeting_item m JOIN {table} t ON t.number = m.item '
                               f"WHERE m.kind = '{kind}'").fetchall())
        for m in dump['meetings']:
            for i in m['items']:
                if i['kind'] == kind:
                    expect(rows.get(i['id']) == i['text'], f"sqlite: {kind} {i['id']}")
    absent = dict(db.execute("SELECT m.item_id, t.absent FROM meeting_item m JOIN attendee t ON t.number = m.item "
                             "WHERE m.kind = 'attendee'").fetchall())
    for m in dump['meetings']:
        for i in m['items']:
            if i['kind'] == 'attendee':
                expect(absent.get(i['id']) == int(i['absent']), f"sqlite: attendee {i['id']} absent")
    sketches = [i for m in dump['meetings'] for i in m['items'] if i['kind'] == 'sketch' and i['width'] > 0]
    for (blob,) in db.execute('SELECT jpeg FROM sketch WHERE jpeg IS NOT NULL'):
        expect(blob[:3] == b'\xff\xd8\xff', 'sqlite: a sketch blob that is not a JPEG')
    expect(db.execute('SELECT count(*) FROM sketch WHERE jpeg IS NOT NULL').fetchone()[0] ==
           len({i['id'] for i in sketches}), 'sqlite: sketch pictures')
    expect(db.execute('SELECT count(*) FROM address').fetchone()[0] == len(dump['addressBook']), 'sqlite: address rows')
    found = {r[0] for r in db.execute('SELECT DISTINCT meeting FROM search WHERE search MATCH ?', ('"' + trigram + '"',))}
    wanted = {m['number'] for m in dump['meetings'] if any(trigram in t for t in meeting_texts(m))}
    expect(wanted and found == wanted, f'sqlite: trigram search for {trigram}: {sorted(found)} != {sorted(wanted)}')
    print(f'sqlite: {len(meetings)} meetings, {len(links)} items, trigram {trigram} in meetings {sorted(found)}')


class Links(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.targets = []

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == 'a' and 'href' in attrs:
            self.targets.append(attrs['href'])
        if tag == 'img':
            self.targets.append(attrs['src'])


PAGE = 200  # rows of the index's page


def check_workbook(folder, dump):
    """The workbook as openpyxl reads it: the six sheets, each row equal to the dump's values, dates and
    times as Excel's, every text a string, no formula anywhere."""
    book = openpyxl.load_workbook(os.path.join(folder, 'minutes.xlsx'))
    expect(book.sheetnames == ['ミーティング', '議題', 'メモ', 'ToDo', '出席者', '人'], f'xlsx: sheets {book.sheetnames}')

    def text(value):  # as Excel shows it: _xHHHH_ is a character XML cannot hold
        return re.sub(r'_x([0-9A-F]{4})_', lambda h: chr(int(h.group(1), 16)), value) if isinstance(value, str) else value

    def rows(name):
        sheet = book[name]
        expect(sheet.freeze_panes == 'A2' and sheet.auto_filter.ref == f'A1:{sheet.dimensions.split(":")[1]}',
               f'xlsx: {name}: a frozen header and an autofilter over the table')
        for row in sheet.iter_rows():
            for cell in row:
                expect(cell.data_type != 'f', f'xlsx: {name}!{cell.coordinate} is a formula')
        return [tuple(text(v) for v in r) for r in sheet.iter_rows(min_row=2, values_only=True)]

    def txt(value):
        return value if value else None

    def day(iso):
        return datetime.datetime.strptime(iso, '%Y-%m-%d') if iso else None

    def clock(hhmm):
        return datetime.datetime.strptime(hhmm, '%H:%M').time() if hhmm else None

    want = {name: [] for name in book.sheetnames}
    for m in dump['meetings']:
        head = (m['number'], day(m['date']), txt(m['title']))
        items = m['items']
        kinds = [i['kind'] for i in items]
        present = '、'.join(i['name'] for i in items if i['kind'] == 'attendee' and i['name'] and not i['absent'])
        absent = '、'.join(i['name'] for i in items if i['kind'] == 'attendee' and i['name'] and i['absent'])
        want['ミーティング'].append((m['number'], day(m['date']), clock(m['start']), clock(m['end']), txt(m['title']),
                                   txt(m['location']), txt(m['category']), txt(present), txt(absent),
                                   kinds.count('agenda'), kinds.count('note'), kinds.count('todo'),
                                   kinds.count('sketch'), None if m['date'] else txt(m['dateText'])))
        for i in items:
            if i['kind'] == 'agenda':
                want['議題'].append(head + (txt(i['text']), '✓' if i['discussed'] else None))
            elif i['kind'] == 'note':
                want['メモ'].append(head + (txt(i['text']),))
            elif i['kind'] == 'todo':
                want['ToDo'].append(head + (txt(i['text']), day(i['dueDate']), clock(i['dueTime']), i['priority'],
                                            '✓' if i['done'] else None,
                                            None if i['dueDate'] else txt(i['dueDateText'])))
            elif i['kind'] == 'attendee':
                phones = (i['address'] or {}).get('phones', [])
                mail = next((p['number'] for p in phones if p['label'] == 'E-mail' and p['number']), None)
                want['出席者'].append(head + (txt(i['name']), txt(i['company']), mail, '欠席' if i['absent'] else '出席'))
    people = json.load(open(os.path.join(folder, 'people.json'), encoding='utf-8'))
    want['人'] = [(txt(n), txt(c), a, b, day(f), day(l)) for n, c, a, b, f, l in people]
    for name in book.sheetnames:
        got = rows(name)
        expect(got == want[name], f'xlsx: {name}: {got[:3]} != {want[name][:3]}')
        # Each column as wide as its widest line, full-width characters counting double, with
        # room for the header's filter button, at most 80 (Excel keeps the width and some padding).
        sheet = book[name]
        for column in sheet.iter_cols():
            widths = [len(str(int(c.value))) if isinstance(c.value, (int, float)) else
                      10 if isinstance(c.value, datetime.datetime) else 5 if isinstance(c.value, datetime.time) else
                      max(sum(1 if ord(ch) < 0x1100 or 0xFF61 <= ord(ch) <= 0xFF9F else 2 for ch in text(line))
                          for line in c.value.split('\n'))
                      for c in column[1:] if c.value is not None]
            header = sum(1 if ord(ch) < 0x1100 else 2 for ch in column[0].value) + 2
            wanted = min(max(widths + [header]) + 2, 80)
            letter = column[0].column_letter
            expect(int(sheet.column_dimensions[letter].width) == wanted,
                   f'xlsx: {name}!{letter} width {sheet.column_dimensions[letter].width} for {wanted}')
    dates = [v for r in rows('ミーティング') for v in r[1:2] if v is not None]
    expect(all(isinstance(v, datetime.datetime) for v in dates), 'xlsx: meeting dates are dates')
    print(f"xlsx: {len(want['ミーティング'])} meetings, {sum(len(v) for v in want.values())} rows equal to the dump")


def check_desktop_workbooks(folder):
    """The desktop's workbooks against the one the exporter's job wrote alone: the current user's the
    same cell for cell, and the one of both users holding it as the rows of its first user, behind a
    user column."""
    def cells(name):
        book = openpyxl.load_workbook(os.path.join(folder, name))
        return {sheet.title: [r for r in sheet.iter_rows(values_only=True)] for sheet in book}

    alone, desktop, both = cells('alone.xlsx'), cells('desktop.xlsx'), cells('both.xlsx')
    expect(len(alone['ミーティング']) == 13, f"desktop xlsx: {len(alone['ミーティング'])} rows of meetings")
    expect(desktop == alone, 'desktop xlsx: the current user\'s workbook differs from the command line\'s')
    expect(list(both) == list(alone), 'desktop xlsx: the sheets of both users')
    users = sorted({r[0] for r in both['ミーティング'][1:]})
    expect(len(users) == 2, f'desktop xlsx: the users {users}')
    current = both['ミーティング'][1][0]  # the current user, the folder's first
    for sheet, rows in alone.items():
        mine = [r[1:] for r in both[sheet][1:] if r[0] == current]
        expect(both[sheet][0] == ('利用者',) + rows[0] and mine == rows[1:], f'desktop xlsx: {sheet} of both users')
        expect({r[0] for r in both[sheet][1:]} <= set(users), f'desktop xlsx: {sheet} users')
    print(f"desktop xlsx: {sum(len(r) for r in alone.values())} rows the same")


def report_names(dump):
    """Each meeting's report as the archive names it: a repeated id gets the store number too."""
    ids = [m['id'] for m in dump['meetings']]
    return {m['number']: f"meeting-{m['id']}" + (f"-{m['number']}" if ids.count(m['id']) > 1 else '') + '.htm'
            for m in dump['meetings']}


def check_tidy(path, name):
    tidy = subprocess.run(['tidy', '-q', '-e', '-utf8', path], capture_output=True, text=True)
    expect(tidy.returncode < 2 and 'Error:' not in tidy.stderr, f'{name}: tidy: ' + tidy.stderr)


def check_archive(folder, dump, query):
    archive = os.path.join(folder, 'archive')
    index = os.path.join(archive, 'index.html')
    links = Links()
    links.feed(open(index, encoding='utf-8').read())
    years = [t for t in links.targets if t.startswith('index-')]
    check_tidy(index, 'archive')
    # Without the script the year pages list every meeting, each linked to its report.
    reports = []
    for year in years:
        page = Links()
        page.feed(open(os.path.join(archive, year), encoding='utf-8').read())
        for target in page.targets:
            expect(os.path.isfile(os.path.join(archive, target)), f'archive: {year}: {target} is missing')
        expect(sorted(t for t in page.targets if t.startswith('index-')) == sorted(y for y in years if y != year),
               f'archive: {year} does not list the other years')
        reports += [t for t in page.targets if t.endswith('.htm')]
        check_tidy(os.path.join(archive, year), year)
    names = report_names(dump)
    expect(sorted(reports) == sorted(names.values()), 'archive: the year pages do not list a report per meeting')
    # Rows in date order, newest first on the page; the query's matches computed here independently.
    rows = sorted(dump['meetings'], key=lambda m: ((m['date'] or '9999') + (m['start'] or '')))[::-1]
    newest = [names[m['number']] for m in rows]
    matching = [names[m['number']] for m in rows if fold(query) in fold('\n'.join(meeting_texts(m)))]
    expect(matching, f'archive: nothing mentions {query}')
    pages = max(1, -(-len(newest) // PAGE))
    # On a store of several pages the query is one that only the last page holds: the search reads
    # the data, not the rows built.
    expect(pages == 1 or all(newest.index(n) >= (pages - 1) * PAGE for n in matching),
           f'archive: {query} is not only on the last page')
    views = [('', newest[:PAGE], len(newest), 1), ('?q=' + quote(query), matching[:PAGE], len(matching), 1),
             (f'?p={pages}', newest[(pages - 1) * PAGE:], len(newest), pages),
             ('?o=old&p=1', newest[::-1][:PAGE], len(newest), 1)]
    if pages > 1:
        views.append(('?p=2', newest[PAGE:2 * PAGE], len(newest), 2))
    # The archive's own pages run exactly their scripts; a report runs none, not even one a note holds.
    for name in ['index.html', 'todo.html', 'people.html'] + years + reports:
        check_script_hashes(os.path.join(archive, name), name, name not in reports)
    # The views Chromium shows, all in one run: the index at each URL, the to-do and people pages
    # searched, and the reports whose notes hold a script or an event handler.
    pwned = [r for r in reports if b'PWNED' in open(os.path.join(archive, r), 'rb').read()]
    todos = sum(1 for m in dump['meetings'] for item in m['items'] if item['kind'] == 'todo')
    lists = [(name, rows_wanted, list_queries(os.path.join(archive, name), query))
             for name, rows_wanted in (('todo.html', todos), ('people.html', None))]
    doms = chromium_views(archive, [('index.html', url) for url, *_ in views] + [(r, '') for r in pwned] +
                          [(name, '?q=' + quote(text)) for name, _, texts in lists for text in texts])
    for report in pwned:
        dom = doms[(report, '')]
        expect('<title>' in dom and '<title>PWNED' not in dom, f'archive: the script of {report} ran')
    for url, wanted, count, page in views:
        shown, status = index_rows(doms[('index.html', url)])
        expect(shown == wanted, f'archive: {url} shows {shown[:5]}…, expected {wanted[:5]}…')
        expected_status = f'{count} / {len(newest)} 件・ページ {page} / {max(1, -(-count // PAGE))}'
        expect(status == expected_status, f'archive: {url} says {status!r}, not {expected_status!r}')
    print(f'archive: {len(years)} year pages, {len(reports)} reports, ?q={query} shows {len(matching)}, {pages} pages')
    for name, rows_wanted, texts in lists:
        check_list_page(archive, name, rows_wanted, {text: doms[(name, '?q=' + quote(text))] for text in texts})


def check_script_hashes(path, name, scripts_run):
    """The inline scripts the page's Content-Security-Policy lets run, by their hashes: all the page's
    scripts, hashed here, or none."""
    text = open(path, 'rb').read()  # a report is Shift-JIS, the other pages UTF-8: the bytes are hashed
    policy = re.search(rb'<meta http-equiv="Content-Security-Policy" content="([^"]*)">', text)
    expect(policy is not None, f'{name}: no Content-Security-Policy')
    if policy is None:
        return
    allowed = sorted(h.decode() for h in re.findall(rb"'(sha256-[^']*)'", policy.group(1)))
    scripts = re.findall(rb'<script>(.*?)</script>', text, re.S)
    hashes = sorted('sha256-' + base64.b64encode(hashlib.sha256(s).digest()).decode() for s in scripts) if scripts_run else []
    expect(allowed == hashes, f'{name}: the policy allows {allowed}, its scripts hash to {hashes}')
    expect(b"default-src 'none'" in policy.group(1), f'{name}: the policy does not start from nothing')


class DataRows(html.parser.HTMLParser):
    """The rows of a to-do or people page: each row's searched text and whether it is shown."""

    def __init__(self):
        super().__init__()
        self.rows = []

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if 'data-text' in attrs:
            self.rows.append((attrs['data-text'], 'hidden' not in attrs))


def list_queries(path, query):
    """The searches of a to-do or people page: the query, and when no row holds it, the first row's
    first word too, which finds at least that row."""
    rows = DataRows()
    rows.feed(open(path, encoding='utf-8').read())
    if any(fold(query) in fold(text) for text, _ in rows.rows) or not rows.rows or not rows.rows[0][0].split():
        return [query]
    return [query, rows.rows[0][0].split()[0]]


def check_list_page(archive, name, rows_wanted, doms):
    """The to-do and people pages: valid, every link there, and ?q= showing exactly the rows whose
    text holds the query."""
    path = os.path.join(archive, name)
    links = Links()
    links.feed(open(path, encoding='utf-8').read())
    for target in links.targets:
        expect(os.path.isfile(os.path.join(archive, target)), f'{name}: {target} is missing')
    check_tidy(path, name)
    for text, dom in doms.items():
        rows = DataRows()
        rows.feed(dom)
        expect(rows_wanted is None or len(rows.rows) == rows_wanted, f'{name}: {len(rows.rows)} rows, not {rows_wanted}')
        wrong = [row for row, shown in rows.rows if shown != (fold(text) in fold(row))]
        expect(not wrong, f'{name}: ?q={text} shows or hides wrongly {wrong}')
        print(f'{name}: {len(links.targets)} links, ?q={text} shows {sum(s for _, s in rows.rows)} of {len(rows.rows)}')


def chromium_views(folder, views, settle=False):
    """Each (page, query) of the folder as headless Chromium shows it, keyed by the pair: one Chromium
    run opens a page that holds every view in a frame of its own and copies each frame's document
    into itself once all have loaded (settle: and once the pages' own work after loading is done,
    on Chromium's virtual clock)."""
    frames = ''.join(f'<iframe src="{html.escape(quote(page) + query)}"></iframe>' for page, query in views)
    with tempfile.TemporaryDirectory() as profile:
        harness = os.path.join(os.path.abspath(folder), 'views.html')
        with open(harness, 'w', encoding='utf-8') as f:
            f.write('<!DOCTYPE html><html><head><meta charset="utf-8"></head><body>' + frames +
                    "<script>window.addEventListener('load', () => setTimeout(() => { for (const f of document.querySelectorAll('iframe')) {"
                    " const t = document.createElement('template'); t.innerHTML = f.contentDocument.documentElement.outerHTML;"
                    " const d = document.createElement('div'); d.className = 'view'; d.append(t); document.body.append(d); } }, " + ('5000' if settle else '0') + "));"
                    '</script></body></html>')
        dom = subprocess.run(
            ['chromium', '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
             '--disable-background-networking', '--disable-component-update', '--disable-sync', '--allow-file-access-from-files',
             '--user-data-dir=' + profile] + (['--virtual-time-budget=60000'] if settle else []) +
            ['--dump-dom', 'file://' + quote(harness)],
            capture_output=True, text=True, timeout=300).stdout
        os.remove(harness)
    parts = dom.split('<div class="view"><template>')[1:]
    expect(len(parts) == len(views), f'archive: Chromium showed {len(parts)} of {len(views)} views')
    return {view: (parts[i] if i < len(parts) else '') for i, view in enumerate(views)}


def index_rows(dom):
    """The reports the rows of the index link to, as Chromium shows it, and its count."""

    class Rows(html.parser.HTMLParser):
        def __init__(self):
            super().__init__()
            self.inside = False
            self.status = None
            self.shown = []

        def handle_starttag(self, tag, attrs):
            attrs = dict(attrs)
            if tag == 'tbody':
                self.inside = True
            elif tag == 'a' and self.inside:
                if attrs['href'].endswith('.htm'):
                    self.shown.append(attrs['href'])
            elif tag == 'span' and attrs.get('id') == 'shown':
                self.status = ''

        def handle_data(self, data):
            if self.status == '':
                self.status = data

        def handle_endtag(self, tag):
            if tag == 'tbody':
                self.inside = False

    rows = Rows()
    rows.feed(dom)
    return rows.shown, rows.status


class MarkdownBlocks(html.parser.HTMLParser):
    """cmark's HTML as its headings, paragraphs and list items, each with its text (a <br> as a line
    break), links and pictures; any element a vault never makes is noted."""
    allowed = {'h1', 'h2', 'ul', 'li', 'p', 'a', 'img', 'br'}

    def __init__(self):
        super().__init__()
        self.blocks = []
        self.foreign = []
        self.open = []

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag not in self.allowed or (tag == 'p' and 'li' in self.open):
            self.foreign.append(tag)
        if tag in ('h1', 'h2', 'li', 'p') and not any(t in ('li', 'p') for t in self.open):
            self.blocks.append({'tag': tag, 'text': '', 'links': [], 'pictures': []})
        if tag == 'a':
            self.blocks[-1]['links'].append(attrs['href'])
        elif tag == 'img':
            self.blocks[-1]['pictures'].append((attrs['src'], attrs.get('alt', '')))
        elif tag == 'br':
            self.blocks[-1]['text'] += '\n'
        if tag not in ('img', 'br'):
            self.open.append(tag)

    def handle_endtag(self, tag):
        if self.open and self.open[-1] == tag:
            self.open.pop()

    def handle_data(self, data):
        if self.blocks and any(t in ('h1', 'h2', 'li', 'p') for t in self.open):
            self.blocks[-1]['text'] += data


def collapsed(text):
    return ' '.join(clean(text.replace('\r', '\n')).split())


def render(path):
    source = open(path, 'rb').read()
    expect(b'\r' not in source, f'vault: {path}: a CR')
    text = source.decode('utf-8')
    front = {}
    if text.startswith('---\n'):
        end = text.index('\n---\n', 3)
        front = yaml.safe_load(text[4:end + 1])
        text = text[end + 5:]
    blocks = MarkdownBlocks()
    blocks.feed(subprocess.run(['cmark'], input=text.encode(), capture_output=True, check=True).stdout.decode())
    expect(not blocks.foreign, f'vault: {path}: elements made from text: {blocks.foreign}')
    return front, blocks.blocks


def sections(blocks):
    """The blocks under each second-level heading."""
    result = {}
    heading = None
    for block in blocks:
        if block['tag'] == 'h2':
            heading = block['text']
            result[heading] = []
        elif heading:
            result[heading].append(block)
    return result


def resolve(vault, note, target):
    """The file a link of a note names, when it is one of the vault's."""
    path = os.path.normpath(os.path.join(os.path.dirname(note), unquote(target)))
    inside = path.startswith(vault + os.sep) and os.path.isfile(path)
    expect(inside, f'vault: {note}: {target} names no file of the vault')
    return path if inside else None


def check_picture(folder, png):
    """A PNG's pixels, decoded by ImageMagick and checked by pngcheck, against the bitmap's."""
    stem = os.path.splitext(os.path.basename(png))[0]
    wanted = open(os.path.join(folder, 'rgb', stem + '.rgb'), 'rb').read()
    decoded = subprocess.run(['convert', 'png:' + png, '-depth', '8', 'rgb:-'], capture_output=True, check=True).stdout
    expect(decoded == wanted, f'vault: {png}: pixels differ from the bitmap')
    expect(subprocess.run(['pngcheck', '-q', png], capture_output=True).returncode == 0, f'vault: {png}: pngcheck')


PRIORITY_MARKS = {1: ' ⏫', 2: ' 🔼', 4: ' 🔽', 5: ' 🔽'}


def expected_meeting(meeting):
    """The front matter and the sections' texts a meeting's note holds."""
    front = {'id': meeting['id'], 'title': meeting['title'], 'location': meeting['location'],
             'category': meeting['category'], 'tags': [meeting['category']] if meeting['category'] else []}
    front.update({k: meeting[k] for k in ('date', 'start', 'end') if meeting[k] is not None})
    front['attendees'] = []
    texts = {'議題': [], 'ToDo': [], 'メモ': [], 'スケッチ': []}
    for item in meeting['items']:
        kind = item.get('kind')
        if kind == 'attendee':
            front['attendees'].append(item['name'] + (' (欠席)' if item['absent'] else ''))
        elif kind == 'agenda':
            texts['議題'].append(collapsed(('[x] ' if item['discussed'] else '[ ] ') + item['text']))
        elif kind == 'todo':
            due = f" 📅 {item['dueDate']}" if item['dueDate'] else ''
            texts['ToDo'].append(collapsed(('[x] ' if item['done'] else '[ ] ') + item['text'] + due +
                                           PRIORITY_MARKS.get(item['priority'], '')))
        elif kind == 'note' and item['text'].replace('\r', '\n').rstrip('\n'):
            texts['メモ'].append(collapsed(item['text']))
        elif kind == 'sketch' and (item['width'] > 0 or item['title'].replace('\r', '\n').rstrip('\n')):
            texts['スケッチ'].append(collapsed(item['title']))
    return front, texts


def clean_name(name):
    """No character a file system refuses, nor one a notes app reads in a link (#, ^, [, ])."""
    return not any(c in name for c in ':\\*?"<>|#^[]') and all(ord(c) >= 0x20 for c in name)


def check_vault(folder, dump):
    vault = os.path.join(folder, 'vault')
    notes = {}
    for name in sorted(os.listdir(vault)):
        if name.endswith('.md') and name != 'index.md':
            expect(clean_name(name), f'vault: {name}: not a clean file name')
            front, blocks = render(os.path.join(vault, name))
            notes.setdefault((front['id'], front['title']), []).append((name, front, blocks))
    expect(sum(len(n) for n in notes.values()) == len(dump['meetings']), 'vault: not a note per meeting')
    pictures = 0
    for meeting in dump['meetings']:
        found = notes.get((meeting['id'], meeting['title']), [])
        if not found:
            problems.append(f"vault: no note of meeting {meeting['number']}")
            continue
        name, front, blocks = found.pop(0)
        path = os.path.join(vault, name)
        wanted_front, wanted_texts = expected_meeting(meeting)
        expect(front == wanted_front, f'vault: {name}: front matter {front} != {wanted_front}')
        expect(name.startswith(meeting['date'] + ' ') if meeting['date'] else not name[:4].isdigit(),
               f'vault: {name}: the date prefix')
        expect(blocks[0]['tag'] == 'h1' and blocks[0]['text'] == collapsed(meeting['title']), f'vault: {name}: title')
        parts = sections(blocks)
        for heading, texts in wanted_texts.items():
            shown = [collapsed(b['text']) if not b['pictures'] else collapsed(b['pictures'][0][1])
                     for b in parts.get(heading, [])]
            expect(shown == texts, f'vault: {name}: {heading} {shown} != {texts}')
        for block in blocks:
            for target in block['links']:
                person = resolve(vault, path, target)
                if person and block in parts.get('出席者', []):
                    person_name = render(person)[0]['name']
                    expect(collapsed(block['text']).startswith(collapsed(person_name or '名前なし')),
                           f'vault: {name}: {block["text"]} links to {person_name}')
            for target, _ in block['pictures']:
                png = resolve(vault, path, target)
                if png:
                    check_picture(folder, png)
                    pictures += 1
        attendees = [i for i in meeting['items'] if i.get('kind') == 'attendee']
        expect(bool(attendees) == ('出席者' in parts), f'vault: {name}: the attendees section')
    people = os.listdir(os.path.join(vault, 'people'))
    for person in people:
        expect(clean_name(person), f'vault: people/{person}: not a clean file name')
        path = os.path.join(vault, 'people', person)
        for block in render(path)[1]:
            for target in block['links']:
                resolve(vault, path, target)
    index = os.path.join(vault, 'index.md')
    links = [t for b in render(index)[1] for t in b['links']]
    expect(len(links) == len(dump['meetings']), f'vault: index.md lists {len(links)} meetings')
    for target in links:
        resolve(vault, index, target)
    print(f'vault: {len(dump["meetings"])} notes, {len(people)} people, {pictures} pictures')


def check_users_archive(archive):
    """The archive of several users: its index's script allowed by hash, every report and picture it
    links to there, and in Chromium "?u=USER" showing exactly that user's meetings, newest first."""
    index = os.path.join(archive, 'index.html')
    check_script_hashes(index, 'users index', True)
    text = open(index, encoding='utf-8').read()
    page = json.loads(re.search(r'<script type="application/json" id="data">(.*?)</script>', text, re.S).group(1))
    data = {'users': page['users'], 'meetings': json.loads(zlib.decompress(base64.b64decode(page['packed']), -15))}
    expect(page['recent'] == data['meetings'][-PAGE:] and page['count'] == len(data['meetings']),
           'users index: the newest meetings shown first are not the last of the packed ones')
    users = data['users']
    for m in data['meetings']:
        folder = unquote(users[m[10]][1])
        for href in [m[2]] + [p[0] for p in m[8]]:
            expect(os.path.isfile(os.path.join(archive, folder, href)), f'users index: {folder}/{href} is not there')
    doms = chromium_views(archive, [('index.html', '?u=' + quote(u[0])) for u in users] + [('index.html', '')],
                          settle=True)
    shown, status = index_rows(doms[('index.html', '')])
    newest = [users[m[10]][1] + '/' + m[2] for m in reversed(data['meetings'])][:PAGE]
    expect(shown == newest, f'users index: shows {shown[:3]}…, expected {newest[:3]}…')
    for number, (name, _) in enumerate(users):
        mine = [m for m in data['meetings'] if m[10] == number]
        shown, status = index_rows(doms[('index.html', '?u=' + quote(name))])
        wanted = [users[number][1] + '/' + m[2] for m in reversed(mine)][:PAGE]
        expect(shown == wanted, f'users index: ?u={name} shows {shown[:3]}…, expected {wanted[:3]}…')
        expect(status.startswith(f'{len(mine)} / {len(data["meetings"])} 件'), f'users index: ?u={name} says {status!r}')
    print(f'users index: {len(users)} users, {len(data["meetings"])} meetings')


def check_several_users(folder):
    """The exports of several users into one file, beside each user's own export of the same kind:
    all.ics, all.vcf and all.json hold exactly UserA's and UserB's events, cards and dumps; all.sqlite
    holds each sample user's rows as SuzukiH.sqlite and TanakaT.sqlite have them, under its number;
    every link of vaults/index.md (as cmark reads it) is a note. Prints the database's item count and
    the vault index's users and link count."""
    os.chdir(folder)

    def uids(name):
        calendar = icalendar.Calendar.from_ical(open(name, 'rb').read())
        return sorted(str(e['UID']) for e in calendar.walk() if e.name in ('VEVENT', 'VTODO'))

    def cards(name):
        return sorted(c.uid.value for c in vobject.readComponents(open(name, encoding='utf-8').read()))

    expect(uids('UserB.ics') and uids('all.ics') == sorted(uids('UserA.ics') + uids('UserB.ics')),
           'all.ics: not the events of UserA.ics and UserB.ics')
    expect(cards('UserA.vcf') and cards('all.vcf') == sorted(cards('UserA.vcf') + cards('UserB.vcf')),
           'all.vcf: not the cards of UserA.vcf and UserB.vcf')
    users = json.load(open('all.json', encoding='utf-8'))['users']
    expect([u.pop('user') for u in users] == ['UserA', 'UserB'], 'all.json: not the users UserA and UserB')
    expect(users == [json.load(open(f'{u}.json', encoding='utf-8')) for u in ('UserA', 'UserB')],
           'all.json: a user differs from its own dump')

    def rows(db, user=None):
        c = sqlite3.connect(db)
        where = '' if user is None else f' WHERE m.user = {user}'
        return (c.execute('SELECT m.id, m.title, m.date FROM meeting m' + where + ' ORDER BY m.number').fetchall(),
                c.execute('SELECT m.id, i.position, i.kind, i.item_id, COALESCE(a.text, n.text, t.text, p.last_name)'
                          ' FROM meeting_item i JOIN meeting m ON m.number = i.meeting'
                          " LEFT JOIN agenda a ON i.kind = 'agenda' AND a.number = i.item"
                          " LEFT JOIN note n ON i.kind = 'note' AND n.number = i.item"
                          " LEFT JOIN todo t ON i.kind = 'todo' AND t.number = i.item"
                          " LEFT JOIN attendee p ON i.kind = 'attendee' AND p.number = i.item" + where +
                          ' ORDER BY i.meeting, i.position').fetchall(),
                c.execute('SELECT s.kind, m.id, s.text, CASE s.kind' +
                          ''.join(f" WHEN '{k}' THEN (SELECT id FROM {k} WHERE number = s.item)"
                                  for k in ('agenda', 'note', 'todo', 'sketch', 'attendee')) +
                          ' ELSE s.item END FROM search s JOIN meeting m ON m.number = s.meeting' + where +
                          ' ORDER BY s.rowid').fetchall())

    numbered = sqlite3.connect('all.sqlite').execute('SELECT number, name FROM users').fetchall()
    expect(numbered == [(1, 'SuzukiH'), (2, 'TanakaT')], f'all.sqlite: users {numbered}')
    for number, name in numbered:
        expect(rows('all.sqlite', number) == rows(name + '.sqlite'), f'all.sqlite: the rows of {name} differ')
    items = sum(len(rows('all.sqlite', n)[1]) for n, _ in numbered)

    index = subprocess.run(['cmark', 'vaults/index.md'], capture_output=True, text=True, check=True).stdout
    links = [unquote(h) for h in re.findall(r'href="([^"]*)"', index)]
    missing = [h for h in links if not os.path.isfile(os.path.join('vaults', h))]
    expect(not missing, f'vaults/index.md: no note at {missing}')
    print(f'several users: {items} database items; vault index {sorted({h.split("/")[0] for h in links})} {len(links)}')


def print_csv(path):
    """A CSV file as Python's csv module reads it, a JSON list per row, after checking the byte order
    mark at its start and the CR LF at its end."""
    raw = open(path, 'rb').read()
    if not (raw.startswith(b'\xef\xbb\xbf') and raw.endswith(b'\r\n')):
        expect(False, f'{path}: no byte order mark at its start or no CR LF at its end')
        return
    print(json.dumps(list(csv.reader(open(path, encoding='utf-8-sig', newline='')))))


def main():
    arguments = argparse.ArgumentParser()
    arguments.add_argument('--users-archive')
    arguments.add_argument('--desktop-workbooks')
    arguments.add_argument('--several-users')
    arguments.add_argument('--csv')
    if any(a in sys.argv for a in ('--users-archive', '--desktop-workbooks', '--several-users', '--csv')):
        known = arguments.parse_known_args()[0]
        if known.users_archive:
            check_users_archive(known.users_archive)
        elif known.several_users:
            check_several_users(known.several_users)
        elif known.csv:
            print_csv(known.csv)
        else:
            check_desktop_workbooks(known.desktop_workbooks)
        for problem in problems:
            print(problem, file=sys.stderr)
        return 1 if problems else 0
    arguments.add_argument('folder')
    arguments.add_argument('--query', required=True)
    arguments.add_argument('--trigram', required=True)
    arguments.add_argument('--user', required=True)
    options = arguments.parse_args()
    dump = json.load(open(os.path.join(options.folder, 'dump.json'), encoding='utf-8'))
    uid = uid_maker(options.user)
    check_calendar(options.folder, dump, uid)
    check_contacts(options.folder, dump, uid)
    check_splits(options.folder)
    check_database(options.folder, dump, options.trigram)
    check_workbook(options.folder, dump)
    check_archive(options.folder, dump, options.query)
    check_vault(options.folder, dump)
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
