// The clipper's passes beside the program's canvas: the frame's polygon as it enters the clipper
// and after each of the six passes, each drawn in the plane of the pass's coordinate against w,
// with the final polygon's clip coordinates in a table. The numbers come from the program's own
// clipper (orlavaneTracePasses in web/passes.cpp), once per displayed frame.
//
// Conventions
//   - Diagram axes: the pass's coordinate a (x, y or z) across, w up, the origin in the middle and
//     the same scale both ways, so the lines a = -w and a = w are the diagonals. Nothing is divided
//     by w: a vertex behind the eye (w < 0) is drawn below the middle, where it is.
//   - Colours: the polygon entering a pass in orange, the polygon leaving it in blue, crossing
//     points as open magenta rings, the side beyond the pass's plane shaded.
//   - The table keeps each coordinate's exact float bits in its data-bits attribute.

var ClipperPanel = (function() {
  var STAGES = [
    {name: 'input', axis: 'x', sign: 0},
    {name: 'left', axis: 'x', sign: -1},   // outside when -w > x
    {name: 'right', axis: 'x', sign: 1},   // outside when x > w
    {name: 'bottom', axis: 'y', sign: -1},
    {name: 'top', axis: 'y', sign: 1},
    {name: 'near', axis: 'z', sign: -1},
    {name: 'far', axis: 'z', sign: 1},
  ];
  var SIZE = 132;
  var COLOUR_IN = '#e07b00', COLOUR_OUT = '#0645d8', COLOUR_CROSSING = '#c000c0';

  var panel = {figures: [], last: null, hidden: false};

  function readTrace(module) {
    var at = module._orlavaneTracePasses() >> 2;
    var heap = module.HEAPF32;
    var stages = heap[at++], polygons = [];
    for (var s = 0; s < stages; ++s) {
      var count = heap[at++], vertices = [];
      for (var i = 0; i < count; ++i, at += 5)
        vertices.push({x: heap[at], y: heap[at + 1], z: heap[at + 2], w: heap[at + 3], crossing: heap[at + 4] == 1});
      polygons.push(vertices);
    }
    return polygons;
  }

  function sameTrace(a, b) {
    if (!a || a.length != b.length) return false;
    for (var s = 0; s < a.length; ++s) {
      if (a[s].length != b[s].length) return false;
      for (var i = 0; i < a[s].length; ++i) {
        var p = a[s][i], q = b[s][i];
        if (!Object.is(p.x, q.x) || !Object.is(p.y, q.y) || !Object.is(p.z, q.z) || !Object.is(p.w, q.w)) return false;
      }
    }
    return true;
  }

  // The part of the square [-r, r]^2 (a across, w up) beyond the plane a = sign * w, where the
  // plane's signed distance w - sign * a is negative: one Sutherland-Hodgman pass over the square.
  function beyond(r, sign) {
    var box = [[-r, -r], [r, -r], [r, r], [-r, r]], out = [];
    var d = function(p) { return p[1] - sign * p[0]; };
    for (var i = 0; i < 4; ++i) {
      var p = box[i], q = box[(i + 1) % 4], dp = d(p), dq = d(q);
      if ((dp < 0) != (dq < 0)) {
        var t = dp / (dp - dq);
        out.push([p[0] + t * (q[0] - p[0]), p[1] + t * (q[1] - p[1])]);
      }
      if (dq < 0) out.push(q);
    }
    return out;
  }

  function drawDiagram(figure, stage, entering, leaving) {
    var ctx = figure.canvas.getContext('2d');
    var a = stage.axis;
    var r = 0;
    entering.concat(leaving).forEach(function(v) { r = Math.max(r, Math.abs(v[a]), Math.abs(v.w)); });
    if (!(r > 0) || !isFinite(r)) r = 1;
    r *= 1.15;
    var half = SIZE / 2, scale = half / r;
    var px = function(p) { return [half + p[0] * scale, half - p[1] * scale]; };
    var at = function(v) { return px([v[a], v.w]); };

    ctx.clearRect(0, 0, SIZE, SIZE);
    ctx.fillStyle = '#ffffff';
    ctx.fillRect(0, 0, SIZE, SIZE);
    if (stage.sign) {
      var shade = beyond(r, stage.sign);
      ctx.fillStyle = 'rgba(200, 0, 0, 0.10)';
      ctx.beginPath();
      shade.forEach(function(p, i) { var q = px(p); i ? ctx.lineTo(q[0], q[1]) : ctx.moveTo(q[0], q[1]); });
      ctx.closePath();
      ctx.fill();
    }
    // Axes, and the lines a = -w and a = w; the pass's own plane drawn solid.
    ctx.lineWidth = 1;
    ctx.strokeStyle = '#c8c8c8';
    ctx.beginPath();
    ctx.moveTo(0, half); ctx.lineTo(SIZE, half);
    ctx.moveTo(half, 0); ctx.lineTo(half, SIZE);
    ctx.stroke();
    [-1, 1].forEach(function(sign) {
      ctx.strokeStyle = sign == stage.sign ? '#a00000' : '#999999';
      ctx.setLineDash(sign == stage.sign ? [] : [3, 3]);
      var p = px([-r, -sign * r]), q = px([r, sign * r]);
      ctx.beginPath();
      ctx.moveTo(p[0], p[1]);
      ctx.lineTo(q[0], q[1]);
      ctx.stroke();
    });
    ctx.setLineDash([]);
    ctx.fillStyle = '#666666';
    ctx.font = '10px sans-serif';
    ctx.fillText('w', half + 3, 10);
    ctx.fillText(a, SIZE - 9, half - 3);

    var loop = function(vertices, colour, width) {
      if (!vertices.length) return;
      ctx.strokeStyle = colour;
      ctx.lineWidth = width;
      ctx.beginPath();
      vertices.forEach(function(v, i) { var p = at(v); i ? ctx.lineTo(p[0], p[1]) : ctx.moveTo(p[0], p[1]); });
      ctx.closePath();
      ctx.stroke();
      ctx.fillStyle = colour;
      vertices.forEach(function(v) { var p = at(v); ctx.fillRect(p[0] - 1.5, p[1] - 1.5, 3, 3); });
    };
    if (stage.sign) loop(entering, COLOUR_IN, 1.5);
    loop(leaving, COLOUR_OUT, 2);
    ctx.strokeStyle = COLOUR_CROSSING;
    ctx.lineWidth = 1.5;
    leaving.forEach(function(v) {
      if (!v.crossing) return;
      var p = at(v);
      ctx.beginPath();
      ctx.arc(p[0], p[1], 4, 0, 2 * Math.PI);
      ctx.stroke();
    });

    figure.caption.textContent = stage.sign ? stage.name + ': ' + entering.length + ' \u2192 ' + leaving.length
                                            : 'entering: ' + leaving.length;
  }

  function floatBits(value) {
    var view = new DataView(new ArrayBuffer(4));
    view.setFloat32(0, value);
    return ('00000000' + view.getUint32(0).toString(16)).slice(-8);
  }

  function fillTable(vertices) {
    var body = panel.table.tBodies[0];
    while (body.rows.length) body.deleteRow(0);
    vertices.forEach(function(v, i) {
      var row = body.insertRow();
      row.insertCell().textContent = i;
      ['x', 'y', 'z', 'w'].forEach(function(c) {
        var cell = row.insertCell();
        cell.textContent = v[c].toFixed(5);
        cell.setAttribute('data-bits', floatBits(v[c]));
      });
    });
    panel.empty.hidden = vertices.length > 0;
  }

  function update(module) {
    if (panel.hidden || !module._orlavaneTracePasses) return;
    var polygons = readTrace(module);
    if (!sameTrace(panel.last, polygons)) {
      for (var s = 0; s < STAGES.length; ++s)
        drawDiagram(panel.figures[s], STAGES[s], s ? polygons[s - 1] : polygons[0], polygons[s]);
      fillTable(polygons[polygons.length - 1]);
      panel.last = polygons;
    }
  }

  function setHidden(hidden) {
    panel.hidden = hidden;
    panel.root.hidden = hidden;
    panel.toggle.setAttribute('aria-expanded', String(!hidden));
    panel.toggle.textContent = hidden ? 'Show the clipper\u2019s passes' : 'Hide the clipper\u2019s passes';
    panel.last = null;  // draw afresh when shown again
  }

  function build(root, toggle) {
    panel.root = root;
    panel.toggle = toggle;
    var grid = root.querySelector('.diagrams');
    STAGES.forEach(function(stage) {
      var figure = document.createElement('figure');
      figure.className = 'diagram';
      figure.setAttribute('data-stage', stage.name);
      var canvas = document.createElement('canvas');
      canvas.width = SIZE;
      canvas.height = SIZE;
      var caption = document.createElement('figcaption');
      figure.appendChild(canvas);
      figure.appendChild(caption);
      grid.appendChild(figure);
      panel.figures.push({canvas: canvas, caption: caption});
    });
    panel.table = root.querySelector('table');
    panel.empty = root.querySelector('.empty');
    toggle.addEventListener('click', function() {
      setHidden(!panel.hidden);
      toggle.blur();  // so that a space for the program does not press the button again
    });
  }

  return {build: build, update: update, state: panel};
})();
