#!/usr/bin/env python3
"""component_tree.py SOURCE STAGE PREFIX COMPONENTS_WXI REFS_WXI [--win64]

Copies the folder SOURCE (files and subfolders) into STAGE under plain numbered names and
writes two WiX include files: the Directory and Component elements of the tree (one
component per file, the file as its key path), to be included inside the Directory element
the tree goes into, and the ComponentRef elements for the feature. The original names go
into the Name attributes, XML-escaped; wixl reads Source paths relative to its working
folder, so STAGE is written as given. Ids are PREFIX plus a number, in lower case: a
directory id with upper-case letters only would be a public property, settable from the
msiexec command line.
"""
import os
import shutil
import sys
from xml.sax.saxutils import quoteattr

HEAD = ('<?xml version="1.0" encoding="utf-8"?>\n'
        '<Include xmlns="http://schemas.microsoft.com/wix/2006/wi">\n')
TAIL = '</Include>\n'


class Tree:
    def __init__(self, stage, prefix, win64):
        self.stage = stage
        self.prefix = prefix.lower()
        self.win64 = ' Win64="yes"' if win64 else ''
        self.count = 0
        self.components = []
        self.refs = []

    def next_id(self):
        self.count += 1
        return f"{self.prefix}{self.count}"

    def add_folder(self, source, depth):
        pad = '  ' * depth
        for name in sorted(os.listdir(source)):
            check_name(name)
            path = os.path.join(source, name)
            if os.path.isdir(path):
                dir_id = self.next_id()
                self.components.append(f'{pad}<Directory Id="{dir_id}" Name={quoteattr(name)}>')
                self.add_folder(path, depth + 1)
                self.components.append(f'{pad}</Directory>')
            elif os.path.isfile(path):
                self.add_file(path, name, pad)

    def add_file(self, path, name, pad):
        item = self.next_id()
        staged = os.path.join(self.stage, item)
        shutil.copyfile(path, staged)
        self.components.append(
            f'{pad}<Component Id="{item}" Guid="*"{self.win64}>'
            f'<File Id="{item}" Name={quoteattr(name)} Source={quoteattr(staged)} '
            f'KeyPath="yes"/></Component>')
        self.refs.append(f'  <ComponentRef Id="{item}"/>')


def check_name(name):
    # wixl expands "$(...)" in every attribute before it parses the XML.
    if '$(' in name:
        sys.exit(f"component_tree: wixl would expand the name {name!r}; rename it")


def write(path, lines):
    with open(path, 'w', encoding='utf-8') as out:
        out.write(HEAD + ''.join(line + '\n' for line in lines) + TAIL)


def main(argv):
    args = [a for a in argv if a != '--win64']
    if len(args) != 5:
        sys.exit(__doc__)
    source, stage, prefix, components_wxi, refs_wxi = args
    os.makedirs(stage, exist_ok=True)
    tree = Tree(stage, prefix, '--win64' in argv)
    tree.add_folder(source, 1)
    write(components_wxi, tree.components)
    write(refs_wxi, tree.refs)


if __name__ == '__main__':
    main(sys.argv[1:])
