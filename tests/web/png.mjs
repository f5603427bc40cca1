// Reads the PNG pictures the road test compares: 8-bit, RGB or RGBA, not interlaced (what
// Chromium's screenshots and the desktop's screenshots are). Returns { width, height, rgb }.
import { inflateSync } from 'node:zlib';

function paeth(a, b, c) {
  const p = a + b - c;
  const pa = Math.abs(p - a);
  const pb = Math.abs(p - b);
  const pc = Math.abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

export function readPng(bytes) {
  const signature = [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a];
  if (!signature.every((b, i) => bytes[i] === b)) throw new Error('not a PNG');
  let at = 8;
  let width = 0;
  let height = 0;
  let channels = 0;
  const data = [];
  while (at < bytes.length) {
    const length = bytes.readUInt32BE(at);
    const type = bytes.toString('latin1', at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      const [depth, colour, , , interlace] = body.subarray(8, 13);
      if (depth !== 8 || interlace !== 0 || (colour !== 2 && colour !== 6)) {
        throw new Error(`PNG kind not read here: depth ${depth} colour ${colour}`);
      }
      channels = colour === 2 ? 3 : 4;
    } else if (type === 'IDAT') {
      data.push(body);
    } else if (type === 'IEND') {
      break;
    }
    at += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const pixels = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    const out = y * stride;
    for (let x = 0; x < stride; ++x) {
      const left = x >= channels ? pixels[out + x - channels] : 0;
      const up = y > 0 ? pixels[out - stride + x] : 0;
      const upLeft = y > 0 && x >= channels ? pixels[out - stride + x - channels] : 0;
      let value = line[x];
      if (filter === 1) value += left;
      else if (filter === 2) value += up;
      else if (filter === 3) value += (left + up) >> 1;
      else if (filter === 4) value += paeth(left, up, upLeft);
      pixels[out + x] = value & 0xff;
    }
  }
  const rgb = Buffer.alloc(width * height * 3);
  for (let i = 0, j = 0; i < pixels.length; i += channels, j += 3) {
    rgb[j] = pixels[i];
    rgb[j + 1] = pixels[i + 1];
    rgb[j + 2] = pixels[i + 2];
  }
  return { width, height, rgb };
}

// The share of pixels whose colour differs by more than `levels` in any channel, over the whole
// picture or over the rectangle `area` ({ x, y, width, height }).
export function differingShare(a, b, levels = 8, area = null) {
  if (a.width !== b.width || a.height !== b.height) return 1;
  const { x, y, width, height } = area || { x: 0, y: 0, width: a.width, height: a.height };
  let differing = 0;
  for (let row = y; row < y + height; ++row) {
    for (let i = (row * a.width + x) * 3, end = i + width * 3; i < end; i += 3) {
      if (Math.abs(a.rgb[i] - b.rgb[i]) > levels || Math.abs(a.rgb[i + 1] - b.rgb[i + 1]) > levels ||
          Math.abs(a.rgb[i + 2] - b.rgb[i + 2]) > levels) {
        ++differing;
      }
    }
  }
  return differing / (width * height);
}

// The picture shrunk by `block` in each direction, each pixel the mean of its block: pictures of
// the same screen drawn at different sizes agree there, whatever their sampling did to edges.
export function shrink(picture, block) {
  const width = Math.floor(picture.width / block);
  const height = Math.floor(picture.height / block);
  const rgb = Buffer.alloc(width * height * 3);
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      for (let c = 0; c < 3; ++c) {
        let sum = 0;
        for (let dy = 0; dy < block; ++dy) {
          for (let dx = 0; dx < block; ++dx) {
            sum += picture.rgb[((y * block + dy) * picture.width + x * block + dx) * 3 + c];
          }
        }
        rgb[(y * width + x) * 3 + c] = Math.round(sum / (block * block));
      }
    }
  }
  return { width, height, rgb };
}
