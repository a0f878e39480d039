#!/usr/bin/env python3
"""Proves that the build keeps the layers: compiled with the real flags of each layer's
sources (from compile_commands.json), a file that includes a header of a folder the layer
may not see must fail with that header not found, and the same file including a header of
a folder it may see must compile. Also refuses includes that climb out with "../".

Usage: check_layers.py BUILD_DIR SOURCE_DIR"""
import concurrent.futures
import itertools
import json
import os
import re
import shlex
import subprocess
import sys
import tempfile

PLATFORM = ["platform/base", "platform/text", "platform/io", "platform/net",
            "platform/widgets", "platform/host"]
PANEL = ["trace", "crypto", "settings", "ui", "soap", "plugin"]
HOSTS = ["hosts/common", "hosts/cli", "hosts/gtk", "hosts/gtk_print", "hosts/gtk3_module"]
FOLDERS = PLATFORM + PANEL + HOSTS

# The architecture: for each folder, the target whose compile flags its sources get and
# the other folders it may include. Everything else must stay out of reach.
LAYERS = {
    "platform/text": ("jc_text", PLATFORM[:1]),
    "platform/io": ("jc_io", PLATFORM[:2]),
    "platform/net": ("jc_net", PLATFORM[:3]),
    "platform/widgets": ("jc_widgets", PLATFORM[:3]),
    "platform/host": ("jc_host", ["platform/base", "platform/text", "platform/io",
                                  "platform/widgets"]),
    "trace": ("jctrace", PLATFORM),
    "crypto": ("jc_crypto", PLATFORM),
    "settings": ("jc_settings", PLATFORM + ["crypto"]),
    "ui": ("jc_ui", PLATFORM),
    "soap": ("jc_soap", PLATFORM + ["trace", "settings"]),
    "plugin": ("jc_plugin", PLATFORM + ["trace", "crypto", "settings", "ui", "soap"]),
    "hosts/common": ("jc_host_common", PLATFORM + ["settings"]),
    "hosts/cli": ("jc_cli_options", PLATFORM + ["settings", "hosts/common"]),
    "hosts/gtk": ("jc_gtk_host", PLATFORM + ["hosts/common"]),
    "hosts/gtk_print": ("jc_gtk_print_job", PLATFORM + ["hosts/common", "hosts/gtk"]),
    "hosts/gtk3_module": ("jc_gtk3_tab", PLATFORM + ["hosts/common", "hosts/gtk"]),
}


def first_header(source_dir, folder):
    headers = sorted(f for f in os.listdir(os.path.join(source_dir, "src", folder))
                     if f.endswith(".h"))
    return f"{folder}/{headers[0]}"


def layer_command(commands, target, folder):
    """The compile command of one of the layer's own sources, as a list of words."""
    marker = f"/CMakeFiles/{target}.dir/"
    for entry in commands:
        if marker in entry["command"] and f"/src/{folder}/" in entry["file"]:
            return entry
    return None


PLANTED = itertools.count()


def probe(entry, header, out_dir, mode):
    """Compiles a file that includes `header` with the entry's flags: "-E" preprocesses,
    "-fsyntax-only" compiles. Answers (succeeded, diagnostics)."""
    path = os.path.join(out_dir, f"planted{next(PLANTED)}.cpp")
    with open(path, "w") as planted:
        planted.write(f'#include "{header}"\n')
    words = shlex.split(entry["command"])
    argv, skip = [], False
    for word in words:
        if skip:
            skip = False
        elif word in ("-o", "-MF", "-MT", "-MQ"):
            skip = True
        elif word in ("-c", "-MD", "-MMD") or word == entry["file"]:
            pass
        else:
            argv.append(word)
    argv += [mode, path, "-o", os.devnull]
    run = subprocess.run(argv, cwd=entry["directory"], capture_output=True, text=True)
    return run.returncode == 0, run.stderr


def not_found(header, diagnostics):
    return header in diagnostics and ("No such file" in diagnostics or "not found" in diagnostics)


def main(build_dir, source_dir):
    with open(os.path.join(build_dir, "compile_commands.json")) as f:
        commands = json.load(f)
    failures, jobs = [], []
    # Two at a time, as every build on this machine runs.
    with tempfile.TemporaryDirectory() as out_dir, \
            concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        for folder, (target, visible) in LAYERS.items():
            entry = layer_command(commands, target, folder)
            if entry is None:
                if not folder.startswith("hosts/gtk"):  # built only where GTK 4 is installed
                    failures.append(f"{folder}: no compile command of {target}")
                continue
            # The planted file must compile when it includes the layer's own header, so a
            # failure below cannot come from flags that fail anything.
            own = first_header(source_dir, folder)
            jobs.append((folder, own, None, pool.submit(probe, entry, own, out_dir,
                                                        "-fsyntax-only")))
            for other in FOLDERS:
                if other != folder:
                    header = first_header(source_dir, other)
                    jobs.append((folder, header, other in visible,
                                 pool.submit(probe, entry, header, out_dir, "-E")))
        for folder, header, may_see, job in jobs:
            ok, why = job.result()
            if may_see is None and not ok:
                failures.append(f"{folder}: including its own {header} does not compile:\n{why}")
            elif may_see and not ok:
                failures.append(f"{folder} may include {header}, yet:\n{why}")
            elif may_see is False and (ok or not not_found(header, why)):
                failures.append(f"{folder} must not see {header}, yet it was "
                                + ("found" if ok else f"refused otherwise:\n{why}"))
    checked = sum(1 for job in jobs if job[2] is not None)
    climbing = re.compile(r'#\s*include\s*"\.\./')
    for root, _, files in os.walk(os.path.join(source_dir, "src")):
        for name in files:
            path = os.path.join(root, name)
            if name.endswith((".h", ".cpp", ".in")):
                with open(path, errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        if climbing.search(line):
                            failures.append(f"{path}:{number}: an include climbs out with ../")
    for failure in failures:
        print("FAIL:", failure)
    print(f"{checked} planted includes checked, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
