#!/usr/bin/env python3
# Reads a package with Python's zipfile, a zip reader other than the program's: the password is
# taken from the package's unencrypted "password" entry, every entry is read (zipfile checks its
# CRC at the end of a whole read), and one line "CRC<TAB>name" is printed per entry in directory
# order. Exit status 0 when every entry read, 1 otherwise (the failures on stderr).
#
# zipfile decrypts in Python, byte by byte: an encrypted entry larger than PART is read in its
# first PART bytes only (which proves the password check, the decryption and the start of the
# compressed data), unless --whole is given. With --serve it checks one path per line of its
# standard input, so that a test starts Python once.
import struct
import sys
import zipfile


def qt_strings(data, count, offset):
    out = []
    for _ in range(count):
        (length,) = struct.unpack_from('>I', data, offset)
        offset += 4
        if length == 0xFFFFFFFF:
            out.append('')
            continue
        out.append(data[offset:offset + length].decode('utf-16-be'))
        offset += length
    return out


def password_of(archive):
    names = [n for n in archive.namelist() if n == 'password']
    if not names:
        return b''
    data = archive.read(names[0])
    try:
        strings = qt_strings(data, 7, 4)
    except (struct.error, UnicodeDecodeError):
        return b''
    return strings[1].encode('latin-1', errors='replace')


PART = 4096


def check(path, whole):
    """The lines "CRC<TAB>name" of the entries that read, and the failures."""
    listed, failures = [], []
    try:
        archive = zipfile.ZipFile(path)
    except Exception as error:  # any failure to open is reported
        return listed, ['%s: %s' % (path, error)]
    with archive:
        password = password_of(archive)
        for info in archive.infolist():
            try:
                encrypted = info.flag_bits & 0x1
                with archive.open(info, pwd=password if encrypted else None) as entry:
                    if encrypted and not whole and info.file_size > PART:
                        entry.read(PART)
                    else:
                        entry.read()
            except Exception as error:  # every failure is reported, whatever its kind
                failures.append('%s: %s' % (info.filename, error))
                continue
            listed.append('%08x\t%s' % (info.CRC, info.filename))
    return listed, failures


def main():
    whole = '--whole' in sys.argv[1:]
    if '--serve' in sys.argv[1:]:
        # One path a line on standard input ("whole " before it: read every entry whole); per
        # path its lines, failures prefixed "! ", and a closing line "= <number of failures>".
        for line in sys.stdin:
            path = line.rstrip('\n')
            entire = whole or path.startswith('whole ')
            listed, failures = check(path[6:] if path.startswith('whole ') else path, entire)
            out = listed + ['! ' + f for f in failures] + ['= %d' % len(failures)]
            sys.stdout.write('\n'.join(out) + '\n')
            sys.stdout.flush()
        return 0
    path = [a for a in sys.argv[1:] if not a.startswith('--')][0]
    listed, failures = check(path, whole)
    for line in listed:
        print(line)
    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
