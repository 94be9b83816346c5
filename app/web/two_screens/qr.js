// A QR code of a short text (the invitation link), so that a phone's camera
// can open it: byte mode, error correction level M, versions 1 to 10 (up
// to 213 bytes), mask 0. QrCode.svg(text, label) is an <svg> image of it.
'use strict';
window.QrCode = (function () {
  // Per version, at level M: error correction codewords per block, blocks,
  // all codewords, and the alignment patterns' centres.
  var EC_PER_BLOCK = [0, 10, 16, 26, 18, 24, 16, 18, 22, 22, 26];
  var BLOCKS = [0, 1, 1, 1, 2, 2, 4, 4, 4, 5, 5];
  var CODEWORDS = [0, 26, 44, 70, 100, 134, 172, 196, 242, 292, 346];
  var ALIGNMENT = [[], [], [6, 18], [6, 22], [6, 26], [6, 30], [6, 34], [6, 22, 38], [6, 24, 42], [6, 26, 46],
                   [6, 28, 50]];
  var MASK = 0;

  // Multiplication in GF(256) modulo x^8 + x^4 + x^3 + x^2 + 1.
  function multiply(x, y) {
    var z = 0;
    for (var i = 7; i >= 0; --i) {
      z = (z << 1) ^ ((z >>> 7) * 0x11D);
      z ^= ((y >>> i) & 1) * x;
    }
    return z;
  }
  function generator(degree) {
    var result = [];
    for (var i = 0; i < degree - 1; ++i) result.push(0);
    result.push(1);
    for (var root = 1, n = 0; n < degree; ++n) {
      for (var j = 0; j < degree; ++j) {
        result[j] = multiply(result[j], root);
        if (j + 1 < degree) result[j] ^= result[j + 1];
      }
      root = multiply(root, 2);
    }
    return result;
  }
  function remainder(data, divisor) {
    var result = divisor.map(function () { return 0; });
    data.forEach(function (b) {
      var factor = b ^ result.shift();
      result.push(0);
      divisor.forEach(function (c, i) { result[i] ^= multiply(c, factor); });
    });
    return result;
  }

  // The codewords: mode, length, the bytes, the terminator and padding,
  // split into blocks, each followed by its error correction, interleaved.
  function codewords(bytes, version) {
    var total = CODEWORDS[version], blocks = BLOCKS[version], ec = EC_PER_BLOCK[version];
    var capacity = total - ec * blocks;
    var bits = [];
    var put = function (value, length) {
      for (var i = length - 1; i >= 0; --i) bits.push((value >>> i) & 1);
    };
    put(4, 4);
    put(bytes.length, version < 10 ? 8 : 16);
    bytes.forEach(function (b) { put(b, 8); });
    put(0, Math.min(4, capacity * 8 - bits.length));
    put(0, (8 - bits.length % 8) % 8);
    for (var pad = 0xEC; bits.length < capacity * 8; pad ^= 0xEC ^ 0x11) put(pad, 8);
    var data = [];
    for (var i = 0; i < bits.length; i += 8) data.push(parseInt(bits.slice(i, i + 8).join(''), 2));

    var shortBlocks = blocks - total % blocks, shortLength = Math.floor(total / blocks);
    var divisor = generator(ec), split = [];
    for (var b = 0, at = 0; b < blocks; ++b) {
      var length = shortLength - ec + (b < shortBlocks ? 0 : 1);
      var block = data.slice(at, at + length);
      at += length;
      var check = remainder(block, divisor);
      if (b < shortBlocks) block.push(null);  // lines the short blocks up with the long
      split.push(block.concat(check));
    }
    var result = [];
    for (var k = 0; k < split[0].length; ++k)
      split.forEach(function (block) { if (block[k] !== null) result.push(block[k]); });
    return result;
  }

  function matrix(bytes) {
    var version = 1;
    while (version <= 10 && bytes.length > CODEWORDS[version] - EC_PER_BLOCK[version] * BLOCKS[version] - 2 -
                                               (version < 10 ? 0 : 1))
      ++version;
    if (version > 10) return null;
    var size = version * 4 + 17, dark = [], fixed = [];
    for (var r = 0; r < size; ++r) {
      dark.push(new Array(size).fill(false));
      fixed.push(new Array(size).fill(false));
    }
    var set = function (x, y, on) {
      dark[y][x] = on;
      fixed[y][x] = true;
    };
    for (var i = 0; i < size; ++i) {
      set(6, i, i % 2 === 0);
      set(i, 6, i % 2 === 0);
    }
    [[3, 3], [size - 4, 3], [3, size - 4]].forEach(function (c) {
      for (var dy = -4; dy <= 4; ++dy)
        for (var dx = -4; dx <= 4; ++dx) {
          var x = c[0] + dx, y = c[1] + dy, d = Math.max(Math.abs(dx), Math.abs(dy));
          if (x >= 0 && x < size && y >= 0 && y < size) set(x, y, d !== 2 && d !== 4);
        }
    });
    var centres = ALIGNMENT[version], last = centres.length - 1;
    centres.forEach(function (cy, a) {
      centres.forEach(function (cx, b) {
        if ((a === 0 && b === 0) || (a === 0 && b === last) || (a === last && b === 0)) return;
        for (var dy = -2; dy <= 2; ++dy)
          for (var dx = -2; dx <= 2; ++dx) set(cx + dx, cy + dy, Math.max(Math.abs(dx), Math.abs(dy)) !== 1);
      });
    });
    // Format: level M (0) and the mask, with its BCH code, twice.
    var format = MASK, rem = format;
    for (var f = 0; f < 10; ++f) rem = (rem << 1) ^ ((rem >>> 9) * 0x537);
    var formatBits = ((format << 10) | rem) ^ 0x5412;
    var bit = function (value, n) { return ((value >>> n) & 1) !== 0; };
    for (var j = 0; j <= 5; ++j) set(8, j, bit(formatBits, j));
    set(8, 7, bit(formatBits, 6));
    set(8, 8, bit(formatBits, 7));
    set(7, 8, bit(formatBits, 8));
    for (var j2 = 9; j2 < 15; ++j2) set(14 - j2, 8, bit(formatBits, j2));
    for (var j3 = 0; j3 < 8; ++j3) set(size - 1 - j3, 8, bit(formatBits, j3));
    for (var j4 = 8; j4 < 15; ++j4) set(8, size - 15 + j4, bit(formatBits, j4));
    set(8, size - 8, true);
    if (version >= 7) {
      var vrem = version;
      for (var v = 0; v < 12; ++v) vrem = (vrem << 1) ^ ((vrem >>> 11) * 0x1F25);
      var versionBits = (version << 12) | vrem;
      for (var k = 0; k < 18; ++k) {
        var x = size - 11 + k % 3, y = Math.floor(k / 3);
        set(x, y, bit(versionBits, k));
        set(y, x, bit(versionBits, k));
      }
    }
    // The codewords in the two-column zigzag from the bottom right, masked.
    var words = codewords(bytes, version), n = 0;
    for (var right = size - 1; right >= 1; right -= 2) {
      if (right === 6) right = 5;
      for (var step = 0; step < size; ++step)
        for (var c = 0; c < 2; ++c) {
          var cx = right - c, up = ((right + 1) & 2) === 0, cy = up ? size - 1 - step : step;
          if (fixed[cy][cx]) continue;
          var on = n < words.length * 8 && bit(words[n >>> 3], 7 - (n & 7));
          ++n;
          dark[cy][cx] = on !== ((cx + cy) % 2 === 0);
        }
    }
    return dark;
  }

  function svg(text, label) {
    var dark = matrix(Array.from(new TextEncoder().encode(text)));
    var ns = 'http://www.w3.org/2000/svg', image = document.createElementNS(ns, 'svg');
    image.setAttribute('role', 'img');
    image.setAttribute('aria-label', label);
    if (!dark) return image;
    var quiet = 4, size = dark.length + 2 * quiet, path = '';
    dark.forEach(function (row, y) {
      row.forEach(function (on, x) { if (on) path += 'M' + (x + quiet) + ' ' + (y + quiet) + 'h1v1h-1z'; });
    });
    image.setAttribute('viewBox', '0 0 ' + size + ' ' + size);
    image.setAttribute('shape-rendering', 'crispEdges');
    var back = document.createElementNS(ns, 'rect');
    back.setAttribute('width', size);
    back.setAttribute('height', size);
    back.setAttribute('fill', '#fff');
    var modules = document.createElementNS(ns, 'path');
    modules.setAttribute('d', path);
    modules.setAttribute('fill', '#000');
    image.append(back, modules);
    return image;
  }

  return {matrix: matrix, svg: svg};
})();
