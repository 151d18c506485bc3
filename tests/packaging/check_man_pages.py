#!/usr/bin/env python3
"""Checks that a manual page says what the program's --help says: the same options, commands
and exit statuses, and the program's version. Prints each difference, naming the side it is on.

    check_man_pages.py --program PATH --page PAGE [--accepted-help --help-all]
"""

import argparse
import os
import re
import subprocess
import sys

from check_report import finish

OPTION = re.compile(r"(?<![\w-])(--?[A-Za-z][\w-]*)")


def roff_to_text(page):
    """The page's words without roff requests, fonts and escapes."""
    lines = []
    for line in page.splitlines():
        if line.startswith('.\\"'):
            continue
        if line.startswith("."):
            request, _, rest = line.partition(" ")
            line = rest.replace('"', "") if request in (".B", ".I", ".BR", ".RB", ".BI", ".IR", ".RI") else line
        line = re.sub(r"\\f[BIRP]", "", line)
        line = line.replace("\\-", "-").replace("\\(lq", '"').replace("\\(rq", '"').replace("\\(rs", "\\")
        lines.append(line)
    return "\n".join(lines)


def sections(page):
    """The page's sections by name, each as its roff source."""
    found = {}
    name = None
    for line in page.splitlines():
        if line.startswith(".SH "):
            name = line[4:].strip().strip('"')
            found[name] = []
        elif name:
            found[name].append(line)
    return {key: "\n".join(value) for key, value in found.items()}


def help_commands(help_text):
    """Commands listed under a "Commands:" heading, one per line, indented."""
    match = re.search(r"^Commands:\n((?:  .*\n|\s*\n)+)", help_text, re.M)
    return set(re.findall(r"^  (\w[\w-]*)  ", match.group(1), re.M)) if match else set()


def help_exit_statuses(help_text):
    match = re.search(r"^Exit status:(.*?)(?:\n\n|\Z)", help_text, re.M | re.S)
    return set(re.findall(r"\b(\d+)\b", match.group(1))) if match else set()


def page_items(section):
    """The tags of a section's .TP items."""
    items = re.findall(r"^\.TP\n\.BR? (\S+)", section or "", re.M)
    return {item.replace("\\-", "-").strip('"') for item in items}


def compare(what, from_help, from_page, program, page_name, problems):
    for item in sorted(from_help - from_page):
        problems.append(f"{program} --help names the {what} {item}; {page_name} does not")
    for item in sorted(from_page - from_help):
        problems.append(f"{page_name} names the {what} {item}; {program} --help does not")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True)
    parser.add_argument("--page", required=True)
    parser.add_argument("--accepted-help", help="the option that lists every option the program accepts, if not --help")
    options = parser.parse_args()

    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    def output(argument):
        return subprocess.run([options.program, argument], env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              text=True, check=True).stdout

    program = os.path.basename(options.program)
    page_name = os.path.basename(options.page)
    page = open(options.page, encoding="utf-8").read()
    help_text = output("--help")
    accepted_text = output(options.accepted_help) if options.accepted_help else help_text
    parts = sections(page)
    problems = []

    # Every option --help names is described; every option described is accepted.
    page_options = set(OPTION.findall(roff_to_text(page)))
    for item in sorted(set(OPTION.findall(help_text)) - page_options):
        problems.append(f"{program} --help names the option {item}; {page_name} does not")
    for item in sorted(page_options - set(OPTION.findall(accepted_text))):
        problems.append(f"{page_name} names the option {item}; {program} {options.accepted_help or '--help'} does not")

    commands = help_commands(help_text)
    if commands or "COMMANDS" in parts:
        compare("command", commands, page_items(parts.get("COMMANDS")), program, page_name, problems)
    statuses = help_exit_statuses(help_text)
    if statuses or "EXIT STATUS" in parts:
        compare("exit status", statuses, page_items(parts.get("EXIT STATUS")), program, page_name, problems)

    version = output("--version").split()[-1]
    title = next((line for line in page.splitlines() if line.startswith(".TH ")), "")
    if version not in title:
        problems.append(f"{page_name}'s title line does not carry {program}'s version {version}: {title}")

    return finish(problems, f"{page_name} agrees with {program} --help")


if __name__ == "__main__":
    sys.exit(main())
