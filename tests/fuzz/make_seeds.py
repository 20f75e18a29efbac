#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets from the protocol's own examples.

Run from anywhere; it rewrites tests/fuzz/corpus/. The files are checked in.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

MESSAGES = [
    '{"opt":"query","online":"37","version":"26"}',
    '{"opt":"query","online":"12","version":"27"}',
    '{"opt":"add","desk":"5","site":"2","name":"abc"}',
    '{"opt":"add","desk":"3","site":"2","name":"abc"}',
    '{"opt":"change","info":[{"name":"a","ready":"1"},{"name":"","ready":"0"},'
    '{"name":"c","ready":"1"},{"name":"d","ready":"0"}]}',
    '{"opt":"start","cards":"40,3,17,52,53,19,"}',
    '{"opt":"game","per":"1","surplus":"12","now":"2","cards":"12,13,","score":"10","must":"0"}',
    '{"opt":"game","per":"-1","surplus":"27","now":"0","cards":"","score":"0","must":"1"}',
    '{"opt":"over","info":[{"name":"a","result":"10"},{"name":"b","result":"-10"},'
    '{"name":"c","result":"10"},{"name":"d","result":"-10"}]}',
    '{"opt":"score","p0":"120","p1":"80"}',
    '{"opt":"run","site":"2","name":"abc"}',
    '{"opt":"timeout"}',
    '{"opt":"Query"}',
    '{"opt":"run"}{"opt":"run"}',
    '[1,2,3]',
    '{"opt":"add","desk":5,"site":null,"name":["x"]}',
    '{"opt":"change","info":[{"name":"a","ready":"1"}]}',
    '{"opt":"game","per":"7x","now":" -2147483649","score":"99999999999","must":"x"}',
    '{"opt":"start","cards":"a\\u0000b"}',
    '{"opt":"add","opt":"run","desk":"1"}',
]


def frame(text):
    data = text.encode()
    return struct.pack('<I', len(data)) + data


def write(target, name, data):
    folder = os.path.join(HERE, 'corpus', target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(data)


def frame_stream():
    for i, text in enumerate(MESSAGES):
        write('frame_stream', 'message-%02d' % i, bytes([i * 37 % 256]) + frame(text))
    write('frame_stream', 'all-whole', b'\0' + b''.join(frame(t) for t in MESSAGES))
    write('frame_stream', 'all-pieces', b'\x2a' + b''.join(frame(t) for t in MESSAGES))
    write('frame_stream', 'zero-length', b'\x01' + frame(MESSAGES[0]) + b'\0\0\0\0')
    write('frame_stream', 'huge-length', b'\x02' + b'\xff\xff\xff\xff' + b'{}')
    write('frame_stream', 'cut-text', b'\x03' + frame(MESSAGES[2])[:-5])
    write('frame_stream', 'cut-length', b'\x04' + frame(MESSAGES[2]) + b'\x10\x00')
    write('frame_stream', 'deep', b'\x05' + frame('[' * 70 + ']' * 70))
    write('frame_stream', 'nul-inside', b'\x06' + frame('{"opt":"timeout"}\0garbage'))


def card_text():
    texts = ['', '5,', ',5,,6', '7', ' 7', '7x', 'x,3', '8,8,9,', '0,1,52,', '3,3,52,',
             '12,13,', '41', '-1,2147483648,-2147483649', 'ab,,cd,', '1, 2, ']
    for i, text in enumerate(texts):
        # First byte 1: a one-byte delimiter "," then the text.
        write('card_text', 'comma-%02d' % i, b'\x01,' + text.encode())
    write('card_text', 'comma-blank', b'\x02, 1, 2, ')
    write('card_text', 'no-delimiter', b'\x00abc')
    write('card_text', 'nul', b'\x01,1,2\x003,4')


def can_follow():
    cases = [
        ([], [8]), ([8], [9]), ([8], [8]), ([19], [53]), ([53], [19]), ([8, 9], [10, 10]),
        ([18, 19], [19, 19]), ([19, 19], [52, 52]), ([52, 53], [8, 9, 10, 11]),
        ([8, 8, 12, 12, 16, 16, 20, 20], [12, 12, 16, 16, 20, 20, 24, 24]),
        ([8, 8, 8, 12, 12], [4, 4, 9, 9, 9]), ([8, 8, 8, 9], [12, 12, 12, 12, 13]),
        ([51, 51, 51], [8, 8, 8, 8]), ([8, 8, 8, 8], [19, 19, 19, 19]),
        ([8] * 4 + [9] * 4 + [10] * 4 + [11] * 4, [8, 8, 8]),
        ([0, 1, 40, 40, 44, 44, 48, 48], [0, 0, 0, 44, 44, 44, 48, 48, 48]),
        ([0, 0, 0, 40, 40, 40, 44, 44, 44, 48, 48, 48], [8, 8, 52, 52, 53]),
        ([], [54]), ([], [52, 53]), ([], []),
    ]
    for i, (previous, play) in enumerate(cases):
        # Mode 0: one byte per code, code = byte % 64 - 4.
        data = bytes([0, len(previous)]) + bytes(c + 4 for c in previous) + \
            bytes(c + 4 for c in play)
        write('can_follow', 'case-%02d' % i, data)
    wide = struct.pack('<ii', -2147483648, 2147483647) + struct.pack('<iii', 19, -1, 55)
    write('can_follow', 'wide', bytes([1, 2]) + wide)


frame_stream()
card_text()
can_follow()
