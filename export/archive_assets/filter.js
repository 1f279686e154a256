(function () {
  'use strict';
  function fold(s) { return s.normalize('NFKC').toLowerCase(); }
  var box = document.getElementById('search');
  var shown = document.getElementById('shown');
  var groups = [].map.call(document.querySelectorAll('.group'), function (g) {
    var items = [].slice.call(g.querySelectorAll('[data-text]'));
    return { element: g, items: items, texts: items.map(function (e) { return fold(e.getAttribute('data-text')); }) };
  });
  function apply() {
    var q = fold(box.value.trim());
    var count = 0, total = 0;
    groups.forEach(function (g) {
      var any = false;
      for (var i = 0; i < g.items.length; i++) {
        var match = q === '' || g.texts[i].indexOf(q) >= 0;
        g.items[i].hidden = !match;
        if (match) { count++; any = true; }
      }
      total += g.items.length;
      g.element.hidden = !any;
    });
    [].forEach.call(document.querySelectorAll('.state'), function (state) {
      state.hidden = !state.querySelector('.group:not([hidden])');
    });
    shown.textContent = count + ' / ' + total;
  }
  var q = new URLSearchParams(window.location.search).get('q');
  if (q) box.value = q;
  box.addEventListener('input', apply);
  apply();
})();
