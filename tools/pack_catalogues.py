#!/usr/bin/env python3
"""Packs compiled catalogues (.mo, as msgfmt writes them) into the one compressed pack the
program stores: the English ids once, then each language's translations of them
(i18n/catalogue_pack.h describes the layout).

usage: pack_catalogues.py OUT.pack A.mo [B.mo ...]
"""
import struct
import sys
import zlib


def read_mo(path):
    data = open(path, 'rb').read()
    magic = struct.unpack('<I', data[:4])[0]
    order = '<' if magic == 0x950412de else '>'
    _, _, n, orig, trans = struct.unpack(order + '5I', data[:20])
    pairs = {}
    for i in range(n):
        ol, oo = struct.unpack(order + '2I', data[orig + 8 * i:orig + 8 * i + 8])
        tl, to = struct.unpack(order + '2I', data[trans + 8 * i:trans + 8 * i + 8])
        pairs[data[oo:oo + ol]] = data[to:to + tl]
    return pairs


def number(n):
    out = bytearray()
    while True:
        byte = n & 0x7f
        n >>= 7
        out.append(byte | (0x80 if n else 0))
        if not n:
            return bytes(out)


def string(s):
    return number(len(s)) + s


def main():
    out, mos = sys.argv[1], sys.argv[2:]
    catalogues = [read_mo(m) for m in mos]
    keys = sorted(set().union(*catalogues)) if catalogues else []
    body = bytearray(b'UWCP\x01' + number(len(keys)) + number(len(catalogues)))
    for key in keys:
        body += string(key)
    for pairs in catalogues:
        for key in keys:
            body += string(pairs.get(key, b''))
    packer = zlib.compressobj(9, zlib.DEFLATED, -15, 9)
    stream = packer.compress(bytes(body)) + packer.flush()
    with open(out, 'wb') as f:
        f.write(b'UWCP' + struct.pack('<I', len(body)) + stream)


if __name__ == '__main__':
    main()
