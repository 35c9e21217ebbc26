#!/usr/bin/env python3
"""Writes the language file VyrdViewerResource.xml.

The built-in resources are the one source of the layouts: this script reads
Resource.h and VyrdDocViewer.rc (string table, menus, dialogs), writes them as
the English language, and writes the same menus and dialogs again with the
German texts of the tables below as the German language. Styles and positions
are computed here exactly as the resource compiler computes them, so a dialog
built from the file looks like the built-in one.

    make-language-file.py            rewrite VyrdViewerResource.xml
    make-language-file.py --check    exit 1 when the file is out of date

Only the resource forms used in VyrdDocViewer.rc are understood: STRINGTABLE,
MENU with POPUP/MENUITEM, ACCELERATORS (skipped) and DIALOGEX with STYLE,
EXSTYLE, CAPTION, FONT and generic CONTROL statements. Anything else stops the
script with an error rather than producing a file that differs from the
compiled resources. Python 3 standard library only.
"""

import argparse
import os
import re
import sys
import xml.etree.ElementTree as ET

sys.dont_write_bytecode = True  # keep the source folder free of __pycache__
from language_texts_de import DIALOG_TEXTS_DE, MENU_TEXTS_DE, STRINGS_DE

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCE_H = os.path.join(HERE, "Resource.h")
RC_FILE = os.path.join(HERE, "VyrdDocViewer.rc")
OUTPUT = os.path.join(HERE, "VyrdViewerResource.xml")

# Window style names that may appear in VyrdDocViewer.rc, with the values of
# the Windows headers. A name missing here stops the script.
WIN32_CONSTANTS = {
    # window styles
    "WS_OVERLAPPED": 0x00000000, "WS_POPUP": 0x80000000, "WS_CHILD": 0x40000000,
    "WS_MINIMIZE": 0x20000000, "WS_VISIBLE": 0x10000000, "WS_DISABLED": 0x08000000,
    "WS_CLIPSIBLINGS": 0x04000000, "WS_CLIPCHILDREN": 0x02000000, "WS_MAXIMIZE": 0x01000000,
    "WS_CAPTION": 0x00C00000, "WS_BORDER": 0x00800000, "WS_DLGFRAME": 0x00400000,
    "WS_VSCROLL": 0x00200000, "WS_HSCROLL": 0x00100000, "WS_SYSMENU": 0x00080000,
    "WS_THICKFRAME": 0x00040000, "WS_GROUP": 0x00020000, "WS_TABSTOP": 0x00010000,
    "WS_MINIMIZEBOX": 0x00020000, "WS_MAXIMIZEBOX": 0x00010000,
    # extended window styles
    "WS_EX_DLGMODALFRAME": 0x00000001, "WS_EX_TOPMOST": 0x00000008,
    "WS_EX_TRANSPARENT": 0x00000020, "WS_EX_TOOLWINDOW": 0x00000080,
    "WS_EX_WINDOWEDGE": 0x00000100, "WS_EX_CLIENTEDGE": 0x00000200,
    "WS_EX_CONTEXTHELP": 0x00000400, "WS_EX_RIGHT": 0x00001000,
    "WS_EX_CONTROLPARENT": 0x00010000, "WS_EX_STATICEDGE": 0x00020000,
    "WS_EX_APPWINDOW": 0x00040000,
    # dialog styles
    "DS_ABSALIGN": 0x01, "DS_SYSMODAL": 0x02, "DS_LOCALEDIT": 0x20, "DS_SETFONT": 0x40,
    "DS_MODALFRAME": 0x80, "DS_NOIDLEMSG": 0x100, "DS_SETFOREGROUND": 0x200,
    "DS_3DLOOK": 0x0004, "DS_FIXEDSYS": 0x0008, "DS_NOFAILCREATE": 0x0010,
    "DS_CONTROL": 0x0400, "DS_CENTER": 0x0800, "DS_CENTERMOUSE": 0x1000,
    "DS_CONTEXTHELP": 0x2000, "DS_SHELLFONT": 0x40 | 0x0008,
    # static controls
    "SS_LEFT": 0x0, "SS_CENTER": 0x1, "SS_RIGHT": 0x2, "SS_ICON": 0x3, "SS_BLACKRECT": 0x4,
    "SS_GRAYRECT": 0x5, "SS_WHITERECT": 0x6, "SS_BLACKFRAME": 0x7, "SS_GRAYFRAME": 0x8,
    "SS_WHITEFRAME": 0x9, "SS_SIMPLE": 0xB, "SS_LEFTNOWORDWRAP": 0xC, "SS_BITMAP": 0xE,
    "SS_ETCHEDHORZ": 0x10, "SS_ETCHEDVERT": 0x11, "SS_ETCHEDFRAME": 0x12,
    "SS_NOPREFIX": 0x80, "SS_NOTIFY": 0x100, "SS_CENTERIMAGE": 0x200, "SS_SUNKEN": 0x1000,
    "SS_ENDELLIPSIS": 0x4000, "SS_PATHELLIPSIS": 0x8000,
    # buttons
    "BS_PUSHBUTTON": 0x0, "BS_DEFPUSHBUTTON": 0x1, "BS_CHECKBOX": 0x2, "BS_AUTOCHECKBOX": 0x3,
    "BS_RADIOBUTTON": 0x4, "BS_3STATE": 0x5, "BS_AUTO3STATE": 0x6, "BS_GROUPBOX": 0x7,
    "BS_AUTORADIOBUTTON": 0x9, "BS_LEFTTEXT": 0x20, "BS_MULTILINE": 0x2000,
    # edit controls
    "ES_LEFT": 0x0, "ES_CENTER": 0x1, "ES_RIGHT": 0x2, "ES_MULTILINE": 0x4,
    "ES_AUTOVSCROLL": 0x40, "ES_AUTOHSCROLL": 0x80, "ES_NOHIDESEL": 0x100,
    "ES_READONLY": 0x800, "ES_WANTRETURN": 0x1000, "ES_NUMBER": 0x2000,
    # combo boxes
    "CBS_SIMPLE": 0x1, "CBS_DROPDOWN": 0x2, "CBS_DROPDOWNLIST": 0x3, "CBS_AUTOHSCROLL": 0x40,
    "CBS_SORT": 0x100, "CBS_HASSTRINGS": 0x200, "CBS_NOINTEGRALHEIGHT": 0x400,
    # track bars
    "TBS_AUTOTICKS": 0x1, "TBS_VERT": 0x2, "TBS_HORZ": 0x0, "TBS_TOP": 0x4, "TBS_BOTTOM": 0x0,
    "TBS_LEFT": 0x4, "TBS_RIGHT": 0x0, "TBS_BOTH": 0x8, "TBS_NOTICKS": 0x10,
    "TBS_ENABLESELRANGE": 0x20, "TBS_TOOLTIPS": 0x100,
    # up-down controls
    "UDS_WRAP": 0x1, "UDS_SETBUDDYINT": 0x2, "UDS_ALIGNRIGHT": 0x4, "UDS_ALIGNLEFT": 0x8,
    "UDS_AUTOBUDDY": 0x10, "UDS_ARROWKEYS": 0x20, "UDS_HORZ": 0x40, "UDS_NOTHOUSANDS": 0x80,
    # tree views
    "TVS_HASBUTTONS": 0x1, "TVS_HASLINES": 0x2, "TVS_LINESATROOT": 0x4, "TVS_EDITLABELS": 0x8,
    "TVS_DISABLEDRAGDROP": 0x10, "TVS_SHOWSELALWAYS": 0x20, "TVS_FULLROWSELECT": 0x1000,
    # list views
    "LVS_ICON": 0x0, "LVS_REPORT": 0x1, "LVS_SMALLICON": 0x2, "LVS_LIST": 0x3,
    "LVS_SINGLESEL": 0x4, "LVS_SHOWSELALWAYS": 0x8, "LVS_NOLABELWRAP": 0x80,
    "LVS_OWNERDRAWFIXED": 0x400, "LVS_NOCOLUMNHEADER": 0x4000, "LVS_NOSORTHEADER": 0x8000,
    # progress bars
    "PBS_SMOOTH": 0x1, "PBS_VERTICAL": 0x4,
    # dialog box command identifiers
    "IDOK": 1, "IDCANCEL": 2, "IDABORT": 3, "IDRETRY": 4, "IDIGNORE": 5, "IDYES": 6,
    "IDNO": 7, "IDCLOSE": 8, "IDHELP": 9,
}

# Predefined window classes that a dialog template names by atom.
SYSTEM_CLASS_ATOMS = {
    "BUTTON": 0x80, "EDIT": 0x81, "STATIC": 0x82, "LISTBOX": 0x83, "SCROLLBAR": 0x84,
    "COMBOBOX": 0x85,
}

# The resource compiler's implicit bits: a dialog with a caption gets
# WS_CAPTION, one with a font DS_SETFONT; a CONTROL statement starts from
# WS_CHILD | WS_VISIBLE, which NOT can take away.
DIALOG_CAPTION_BITS = WIN32_CONSTANTS["WS_CAPTION"]
DIALOG_FONT_BITS = WIN32_CONSTANTS["DS_SETFONT"]
CONTROL_DEFAULT_STYLE = WIN32_CONSTANTS["WS_CHILD"] | WIN32_CONSTANTS["WS_VISIBLE"]


class RcError(Exception):
    pass


# ---------------------------------------------------------------------------
# Reading Resource.h and the .rc file

def read_defines(path):
    defines = {}
    pattern = re.compile(r"^\s*#define\s+(\w+)\s+\(?\s*(-?\d+)\s*\)?\s*(?://.*)?$")
    with open(path, encoding="utf-8") as f:
        for line in f:
            m = pattern.match(line)
            if m:
                defines[m.group(1)] = int(m.group(2))
    return defines


TOKEN = re.compile(
    r'\s*(?:(?P<string>"(?:[^"\\\n]|\\.|"")*")|(?P<number>0[xX][0-9a-fA-F]+|\d+)'
    r"|(?P<name>[A-Za-z_]\w*)|(?P<punct>[,|()\-+{}]))")


def unquote(literal, where):
    """The text of a quoted resource string: "" is a quote, \\t \\n \\r \\\\ escapes."""
    body = literal[1:-1]
    out = []
    i = 0
    while i < len(body):
        c = body[i]
        if c == '"':  # the doubled quote
            out.append('"')
            i += 2
        elif c == "\\":
            escapes = {"t": "\t", "n": "\n", "r": "\r", "\\": "\\"}
            nxt = body[i + 1]
            if nxt not in escapes:
                raise RcError(f"{where}: unsupported escape \\{nxt}")
            out.append(escapes[nxt])
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def tokenize(path):
    tokens = []
    with open(path, encoding="utf-8") as f:
        text = f.read()
    text = re.sub(r"/\*.*?\*/", lambda m: "\n" * m.group(0).count("\n"), text, flags=re.S)
    for lineno, line in enumerate(text.split("\n"), 1):
        if line.lstrip().startswith("#"):
            continue
        pos = 0
        while pos < len(line):
            rest = line[pos:]
            if not rest.strip() or rest.lstrip().startswith("//"):
                break
            m = TOKEN.match(line, pos)
            if not m:
                raise RcError(f"{path}:{lineno}: cannot read {rest.strip()!r}")
            kind = m.lastgroup
            value = m.group(kind)
            if kind == "string":
                value = unquote(value, f"{path}:{lineno}")
            tokens.append((kind, value, lineno))
            pos = m.end()
    return tokens


class Parser:
    def __init__(self, tokens, defines):
        self.tokens = tokens
        self.pos = 0
        self.names = dict(WIN32_CONSTANTS)
        self.names.update(defines)

    def peek(self, offset=0):
        i = self.pos + offset
        return self.tokens[i] if i < len(self.tokens) else (None, None, None)

    def take(self, kind=None, value=None):
        tok = self.peek()
        if tok[0] is None:
            raise RcError("unexpected end of file")
        if (kind and tok[0] != kind) or (value and tok[1] != value):
            raise RcError(f"line {tok[2]}: expected {value or kind}, found {tok[1]!r}")
        self.pos += 1
        return tok[1]

    def at(self, value):
        return self.peek()[1] == value

    def skip_comma(self):
        if self.at(","):
            self.take()

    # Numbers and style expressions

    def atom(self):
        kind, value, line = self.peek()
        if value == "(":
            self.take()
            v = self.number()
            self.take("punct", ")")
            return v
        if value == "-":
            self.take()
            return -self.atom()
        if kind == "number":
            self.take()
            return int(value, 0)
        if kind == "name":
            self.take()
            if value not in self.names:
                raise RcError(f"line {line}: unknown name {value}")
            return self.names[value]
        raise RcError(f"line {line}: expected a number, found {value!r}")

    def number(self):
        v = self.atom()
        while self.at("|") or self.at("+"):
            op = self.take()
            rhs = self.atom()
            v = (v | rhs) if op == "|" else (v + rhs)
        return v

    def style(self, start):
        """A style expression: terms joined by |, a NOT term clears its bits."""
        v = start
        while True:
            if self.at("NOT"):
                self.take()
                v &= ~self.atom()
            else:
                v |= self.atom()
            if not self.at("|"):
                return v & 0xFFFFFFFF
            self.take()

    # Resources

    def resources(self):
        strings, menus, dialogs = [], [], []
        while self.peek()[0] is not None:
            if self.at("STRINGTABLE"):
                self.take()
                strings.extend(self.string_table())
                continue
            ident_token = self.peek()
            ident = self.atom()
            kind = self.take("name")
            if kind == "MENU":
                menus.append({"id": ident, "items": self.menu_block()})
            elif kind == "DIALOGEX":
                dialogs.append(self.dialog(ident))
            elif kind == "ACCELERATORS":
                self.skip_block()
            else:
                raise RcError(f"line {ident_token[2]}: unsupported resource {kind}")
        return strings, menus, dialogs

    def skip_block(self):
        self.take("name", "BEGIN")
        while not self.at("END"):
            self.take()
        self.take()

    def string_table(self):
        entries = []
        self.take("name", "BEGIN")
        while not self.at("END"):
            name = self.peek()[1]
            ident = self.atom()
            self.skip_comma()
            entries.append({"id": ident, "name": name, "text": self.take("string")})
        self.take()
        return entries

    def menu_block(self):
        items = []
        self.take("name", "BEGIN")
        while not self.at("END"):
            keyword = self.take("name")
            if keyword == "POPUP":
                text = self.take("string")
                grayed = self.menu_options()
                items.append({"popup": True, "grayed": grayed, "id": 0, "text": text,
                              "items": self.menu_block()})
            elif keyword == "MENUITEM" and self.at("SEPARATOR"):
                self.take()
                items.append({"separator": True})
            elif keyword == "MENUITEM":
                text = self.take("string")
                self.take("punct", ",")
                ident = self.atom()
                grayed = self.menu_options()
                items.append({"popup": False, "grayed": grayed, "id": ident, "text": text})
            else:
                raise RcError(f"unsupported menu statement {keyword}")
        self.take()
        return items

    def menu_options(self):
        grayed = False
        while self.at(","):
            self.take()
            option = self.take("name")
            if option != "GRAYED":
                raise RcError(f"unsupported menu option {option}")
            grayed = True
        return grayed

    def dialog(self, ident):
        x = self.atom()
        self.take("punct", ",")
        y = self.atom()
        self.take("punct", ",")
        cx = self.atom()
        self.take("punct", ",")
        cy = self.atom()
        d = {"id": ident, "x": x, "y": y, "cx": cx, "cy": cy, "style": 0, "exstyle": 0,
             "caption": "", "font": None, "controls": []}
        # Without STYLE the compiler uses a bordered popup with a system menu.
        style = WIN32_CONSTANTS["WS_POPUP"] | WIN32_CONSTANTS["WS_BORDER"] | WIN32_CONSTANTS[
            "WS_SYSMENU"]
        extra = 0
        while not self.at("BEGIN"):
            option = self.take("name")
            if option == "STYLE":
                style = self.style(0)
            elif option == "EXSTYLE":
                d["exstyle"] = self.style(0)
            elif option == "CAPTION":
                d["caption"] = self.take("string")
                extra |= DIALOG_CAPTION_BITS
            elif option == "FONT":
                size = self.atom()
                self.take("punct", ",")
                d["font"] = (size, self.take("string"))
                while self.at(","):  # weight, italic, character set: not in the file
                    self.take()
                    self.atom()
                extra |= DIALOG_FONT_BITS
            else:
                raise RcError(f"unsupported dialog option {option}")
        d["style"] = (style | extra) & 0xFFFFFFFF
        self.take("name", "BEGIN")
        while not self.at("END"):
            d["controls"].append(self.control())
        self.take()
        return d

    def control(self):
        self.take("name", "CONTROL")
        if self.peek()[0] == "string":
            text, text_id = self.take(), 0
        else:
            text, text_id = "", self.atom()
        self.take("punct", ",")
        ident = self.atom()
        self.take("punct", ",")
        class_name = self.take("string")
        self.take("punct", ",")
        style = self.style(CONTROL_DEFAULT_STYLE)
        values = []
        for _ in range(4):
            self.take("punct", ",")
            values.append(self.atom())
        exstyle = 0
        if self.at(","):
            self.take()
            exstyle = self.style(0)
        return {"id": ident, "text": text, "text_id": text_id, "class": class_name,
                "style": style, "exstyle": exstyle, "x": values[0], "y": values[1],
                "cx": values[2], "cy": values[3]}


# ---------------------------------------------------------------------------
# Writing the language file

def escape_string_data(text, where):
    """A string table text as "Data": CR, LF and tab become \\r, \\n and \\t."""
    if re.search(r"\\[rnt]", text):
        raise RcError(f"{where}: a backslash before r, n or t cannot be written")
    return text.replace("\r", "\\r").replace("\n", "\\n").replace("\t", "\\t")


def escape_menu_data(text, where):
    if "\r" in text or "\n" in text or "\\t" in text:
        raise RcError(f"{where}: menu text with a line break or a backslash-t")
    return text.replace("\t", "\\t")


def translate(table, text, where):
    if text == "":
        return ""
    if text not in table:
        raise RcError(f"{where}: no German text for {text!r}")
    return table[text]


def add_strings(parent, strings, german):
    node = ET.SubElement(parent, "Strings")
    for s in strings:
        text = s["text"]
        if german:
            if s["name"] not in STRINGS_DE:
                raise RcError(f"no German text for string {s['name']}")
            text = STRINGS_DE[s["name"]]
        ET.SubElement(node, "String", {"ID": str(s["id"]),
                                        "Data": escape_string_data(text, s["name"])})


def add_menu_items(parent, items, german, where):
    for item in items:
        if item.get("separator"):
            ET.SubElement(parent, "MenuItem",
                          {"Popup": "0", "Grayed": "0", "ID": "-1", "Data": "-"})
            continue
        text = translate(MENU_TEXTS_DE, item["text"], where) if german else item["text"]
        node = ET.SubElement(parent, "MenuItem", {
            "Popup": "1" if item["popup"] else "0",
            "Grayed": "1" if item["grayed"] else "0",
            "ID": str(item["id"]),
            "Data": escape_menu_data(text, where),
        })
        if item["popup"]:
            add_menu_items(node, item["items"], german, where)


def add_dialog(parent, d, german):
    where = f"dialog {d['id']}"
    caption = translate(DIALOG_TEXTS_DE, d["caption"], where) if german else d["caption"]
    node = ET.SubElement(parent, "Dialog", {
        "ID": str(d["id"]), "Style": str(d["style"]), "ExtStyle": str(d["exstyle"]),
        "X": str(d["x"]), "Y": str(d["y"]), "Width": str(d["cx"]), "Height": str(d["cy"]),
        "Caption": caption,
    })
    if d["font"]:
        ET.SubElement(node, "Font", {"Size": str(d["font"][0]), "Name": d["font"][1]})
    for c in d["controls"]:
        atom = SYSTEM_CLASS_ATOMS.get(c["class"].upper(), 0)
        text = c["text"]
        if german:
            text = translate(DIALOG_TEXTS_DE, text, where)
        ET.SubElement(node, "Control", {
            "ID": str(c["id"]), "Style": str(c["style"]), "ExtStyle": str(c["exstyle"]),
            "X": str(c["x"]), "Y": str(c["y"]), "Width": str(c["cx"]), "Height": str(c["cy"]),
            "SystemClass": str(atom), "ClassName": "" if atom else c["class"],
            "CaptionID": str(c["text_id"]), "Caption": text,
        })


def build_language(root, ident, name, strings, menus, dialogs, german):
    language = ET.SubElement(root, "Language", {"ID": ident, "Name": name})
    add_strings(language, strings, german)
    dialogs_node = ET.SubElement(language, "Dialogs")
    for d in dialogs:
        add_dialog(dialogs_node, d, german)
    menus_node = ET.SubElement(language, "Menus")
    for m in menus:
        menu = ET.SubElement(menus_node, "Menu", {"ID": str(m["id"])})
        add_menu_items(menu, m["items"], german, f"menu {m['id']}")


def make_document():
    defines = read_defines(RESOURCE_H)
    strings, menus, dialogs = Parser(tokenize(RC_FILE), defines).resources()
    ids = [s["id"] for s in strings]
    if len(ids) != len(set(ids)):
        raise RcError("a string identifier is used twice")
    unused = set(STRINGS_DE) - {s["name"] for s in strings}
    if unused:
        raise RcError(f"German texts for strings that do not exist: {sorted(unused)}")

    root = ET.Element("Languages")
    build_language(root, "en", "English", strings, menus, dialogs, german=False)
    build_language(root, "de", "Deutsch", strings, menus, dialogs, german=True)
    ET.indent(root, space="  ")
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            "<!-- Generated by make-language-file.py from VyrdDocViewer.rc and Resource.h"
            " (English) and language_texts_de.py (German). Edit those and run the script"
            " again; do not edit this file. -->\n"
            + ET.tostring(root, encoding="unicode") + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--check", action="store_true",
                        help="compare with the existing file instead of writing it")
    parser.add_argument("--output", default=OUTPUT, help="file to write or check")
    args = parser.parse_args()
    try:
        text = make_document()
    except RcError as e:
        print(f"make-language-file: {e}", file=sys.stderr)
        return 2
    if args.check:
        try:
            with open(args.output, encoding="utf-8", newline="") as f:
                current = f.read()
        except OSError:
            current = None
        if current != text:
            print(f"make-language-file: {args.output} is out of date;"
                  " run make-language-file.py", file=sys.stderr)
            return 1
        return 0
    with open(args.output, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
