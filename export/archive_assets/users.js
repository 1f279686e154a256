(function () {
  'use strict';
  // The newest meetings come as they are, to show the first page at once; all of them as Base64 of
  // raw DEFLATE, a fraction of the bytes for the page to read, unpacked after that.
  var top = JSON.parse(document.getElementById('data').textContent);
  var asked = new URLSearchParams(window.location.search);
  if (!asked.get('q') && !asked.get('u') && !asked.get('o') && (parseInt(asked.get('p'), 10) || 1) === 1) {
    start({ users: top.users, meetings: top.recent }, top.count);
  }
  var packed = atob(top.packed);
  var bytes = new Uint8Array(packed.length);
  for (var k = 0; k < packed.length; k++) bytes[k] = packed.charCodeAt(k);
  new Response(new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate-raw'))).text().then(function (text) {
    start({ users: top.users, meetings: JSON.parse(text) }, 0);
  });
  // quickCount: the meetings are only the newest, of that many; the page shows them and waits.
  function start(all, quickCount) {
    var PAGE = 200;
    function fold(s) { return s.normalize('NFKC').toLowerCase(); }
    var users = all.users;
    var data = all.meetings;
    var who = document.getElementById('user');
    var folded = null;
    var box = document.getElementById('search');
    var shown = document.getElementById('shown');
    var order = document.getElementById('order');
    var body = document.getElementById('meetings');
    var bars = [document.getElementById('pages-top'), document.getElementById('pages-bottom')];
    var params = new URLSearchParams(window.location.search);
    var page = Math.max(1, parseInt(params.get('p'), 10) || 1);
    var oldest = params.get('o') === 'old';
    box.value = box.value || params.get('q') || '';
    if (who.options.length === 1) users.forEach(function (u, i) {
      var option = document.createElement('option');
      option.value = String(i);
      option.textContent = u[0];
      who.appendChild(option);
    });
    who.value = String(users.findIndex(function (u) { return u[0] === params.get('u'); }));
    if (who.value === '' || who.value === '-1') who.value = 'all';
    function matches() {
      var q = fold(box.value.trim());
      var u = who.value === 'all' ? -1 : parseInt(who.value, 10);
      var list = [];
      if (q !== '' && folded === null) folded = data.map(function (m) { return fold(m[9]); });
      for (var i = 0; i < data.length; i++) {
        if ((u < 0 || data[i][10] === u) && (q === '' || folded[i].indexOf(q) >= 0)) list.push(i);
      }
      return oldest ? list : list.reverse();
    }
    function address(p) {
      var a = new URLSearchParams();
      if (who.value !== 'all') a.set('u', users[parseInt(who.value, 10)][0]);
      if (box.value.trim() !== '') a.set('q', box.value.trim());
      if (p > 1) a.set('p', p);
      if (oldest) a.set('o', 'old');
      var s = a.toString();
      return s === '' ? 'index.html' : 'index.html?' + s;
    }
    function row(m) {
      var tr = document.createElement('tr');
      function cell(text) { var td = tr.insertCell(); td.textContent = text; return td; }
      var folder = users[m[10]][1] + '/';
      cell(users[m[10]][0]);
      cell(m[0]);
      cell(m[1]);
      var link = document.createElement('a');
      link.href = folder + m[2];
      link.textContent = m[3];
      tr.insertCell().appendChild(link);
      cell(m[4]);
      cell(m[5]);
      cell(m[6].map(function (a) { return a[0] + (a[1] ? '（欠席）' : ''); }).join('、'));
      var items = cell('議題 ' + m[7][0] + '・メモ ' + m[7][1] + '・ToDo ' + m[7][2] + '・スケッチ ' + m[7][3]);
      if (m[8].length > 0) items.appendChild(document.createElement('br'));
      m[8].forEach(function (p) {
        var a = document.createElement('a');
        a.href = folder + p[0];
        var img = document.createElement('img');
        img.className = 'sketch';
        img.loading = 'lazy';
        img.alt = p[1];
        img.src = folder + p[0];
        a.appendChild(img);
        items.appendChild(a);
      });
      return tr;
    }
    function pageLink(bar, p, text, current) {
      var e = document.createElement(p === current ? 'strong' : 'a');
      e.textContent = text;
      if (p !== current) {
        e.href = address(p);
        e.setAttribute('data-page', p);
      }
      bar.appendChild(e);
    }
    function render() {
      var list = matches();
      var count = quickCount || list.length;
      var pages = Math.max(1, Math.ceil(count / PAGE));
      page = Math.min(page, pages);
      var first = (page - 1) * PAGE;
      var rows = document.createDocumentFragment();
      list.slice(first, first + PAGE).forEach(function (i) { rows.appendChild(row(data[i])); });
      body.replaceChildren(rows);
      shown.textContent = count + ' / ' + (quickCount || data.length) + ' 件・ページ ' + page + ' / ' + pages;
      order.textContent = oldest ? '新しい順' : '古い順';
      bars.forEach(function (bar) {
        bar.replaceChildren();
        if (pages < 2) return;
        if (page > 1) pageLink(bar, page - 1, '前へ', 0);
        for (var p = 1; p <= pages; p++) {
          if (p === 1 || p === pages || Math.abs(p - page) <= 3) {
            pageLink(bar, p, String(p), page);
          } else if (p === 2 || p === pages - 1) {
            bar.appendChild(document.createTextNode('…'));
          }
        }
        if (page < pages) pageLink(bar, page + 1, '次へ', 0);
      });
      try { window.history.replaceState(null, '', address(page)); } catch (e) { }
    }
    if (quickCount) {
      render();
      return;
    }
    bars.forEach(function (bar) {
      bar.addEventListener('click', function (event) {
        var p = event.target.getAttribute('data-page');
        if (p === null) return;
        event.preventDefault();
        page = parseInt(p, 10);
        render();
        window.scrollTo(0, 0);
      });
    });
    box.addEventListener('input', function () { page = 1; render(); });
    who.addEventListener('change', function () { page = 1; render(); });
    order.addEventListener('click', function () { oldest = !oldest; page = 1; render(); });
    render();
  }
})();
