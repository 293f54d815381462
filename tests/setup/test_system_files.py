#!/usr/bin/env python3
"""Every file of the system that the content generator or the tests read by
absolute path must come from a package that tools/install-deps.sh installs
by name: a file that is only there by luck on this machine is missing on a
fresh one."""

import os
import re
import subprocess
import sys
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SCANNED = ["tools", "tests", "bench"]
PATH_LITERAL = re.compile(r'"(/usr/(?:share|lib)/[^"\s]+\.[A-Za-z0-9]+)"')


def system_paths():
    found = {}
    for top in SCANNED:
        for folder, _, files in os.walk(os.path.join(ROOT, top)):
            for name in files:
                if not name.endswith((".cpp", ".h", ".py", ".sh")) or name == os.path.basename(__file__):
                    continue
                path = os.path.join(folder, name)
                with open(path, encoding="utf-8", errors="replace") as f:
                    for literal in PATH_LITERAL.findall(f.read()):
                        found.setdefault(literal, os.path.relpath(path, ROOT))
    return found


def installed_by_name():
    with open(os.path.join(ROOT, "tools", "install-deps.sh")) as f:
        text = f.read()
    block = re.search(r"PACKAGES=\((.*?)\)", text, re.S).group(1)
    return set(block.split())


def owning_package(path):
    result = subprocess.run(["dpkg", "-S", path], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    if result.returncode != 0:
        return None
    return result.stdout.split(":", 1)[0].split(",")[0].strip()


class SystemFiles(unittest.TestCase):
    def test_every_system_file_read_comes_from_a_named_package(self):
        paths = system_paths()
        self.assertTrue(paths, "the scan found the generator's fonts")
        named = installed_by_name()
        for path, reader in sorted(paths.items()):
            package = owning_package(path)
            self.assertIsNotNone(package, "%s (read by %s) belongs to no installed package" % (path, reader))
            self.assertIn(package, named, "%s (read by %s) comes from %s, which tools/install-deps.sh does not install"
                          % (path, reader, package))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
