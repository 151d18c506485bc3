#!/usr/bin/env python3
"""Installs the build into a staging folder (DESTDIR) and checks the tree as a user gets it: every
file under the prefix, each file in exactly one install component, shared libraries with their
SONAME, no absolute path of the build in the package files; then moves the tree elsewhere and
builds programs against it through the CMake package and through pkg-config, and runs them
(offscreen), the Qt one loading a form through QUiLoader and the installed Designer plugin."""

import argparse
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

COMPONENTS = ["Runtime", "Development", "Tools", "Designer"]


class Failure(Exception):
    pass


def run(command, env=None, cwd=None):
    """Runs a command; its output becomes the failure's message when it fails."""
    result = subprocess.run(command, env=env, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if result.returncode != 0:
        raise Failure(f"{shlex.join(map(str, command))} exited with {result.returncode}:\n{result.stdout}")
    return result.stdout


def install(build, destdir, prefix, component=None):
    command = ["cmake", "--install", build, "--prefix", prefix]
    if component:
        command += ["--component", component]
    run(command, env=dict(os.environ, DESTDIR=str(destdir)))
    return sorted(str(p.relative_to(destdir)) for p in destdir.rglob("*") if p.is_file() or p.is_symlink())


def check_layout(stage, prefix, options):
    """Every installed file lies under the prefix, and the expected files are where users look."""
    files = install(options.build_dir, stage, prefix)
    outside = [f for f in files if not f.startswith(prefix.lstrip("/") + "/")]
    if outside:
        raise Failure("installed outside the prefix " + prefix + ":\n  " + "\n  ".join(outside))

    component_files = []
    for component in options.components:
        component_stage = stage.parent / ("component-" + component)
        component_files += install(options.build_dir, component_stage, prefix, component)
    if sorted(component_files) != files:
        missing = sorted(set(files) - set(component_files))
        doubled = sorted({f for f in component_files if component_files.count(f) > 1})
        raise Failure(f"install components: not in any: {missing}; in more than one: {doubled}")

    root = stage / prefix.lstrip("/")
    libdir = options.libdir
    expected = [
        f"include/quenarch/control/quen_archive.h",
        f"include/quenarch/base/automation_error.h",
        f"{libdir}/cmake/QuenArch/QuenArchConfig.cmake",
        f"{libdir}/cmake/QuenArch/QuenArchConfigVersion.cmake",
        f"{libdir}/pkgconfig/quenarch.pc",
    ]
    expected += [f"{libdir}/libquenarch.so.{options.version}", f"{libdir}/libquenarch.so"] if options.shared else [f"{libdir}/libquenarch.a"]
    if options.qt:
        expected += [
            "include/quenarch/qt/quen_archive_widget.h",
            "include/quenarch/qt/list_model.h",
            f"{libdir}/pkgconfig/quenarch-qt.pc",
            "bin/quenarch",
            "bin/quenarch-view",
            "share/applications/quenarch-view.desktop",
            "share/icons/hicolor/scalable/apps/quenarch-view.svg",
            "share/man/man1/quenarch.1",
            "share/man/man1/quenarch-view.1",
        ]
    if options.designer:
        expected.append(f"{options.plugin_dir}/libquenarch_designer.so")
    absent = [f for f in expected if not (root / f).exists()]
    if absent:
        raise Failure("not installed:\n  " + "\n  ".join(absent))

    if options.shared:
        major = options.version.split(".")[0]
        for library in ["libquenarch"] + (["libquenarch-qt"] if options.qt else []):
            dynamic = run(["objdump", "-p", root / libdir / f"{library}.so"])
            if f"SONAME               {library}.so.{major}" not in dynamic:
                raise Failure(f"{library}.so has no SONAME {library}.so.{major}:\n{dynamic}")
            if os.readlink(root / libdir / f"{library}.so") != f"{library}.so.{major}":
                raise Failure(f"{library}.so does not link to {library}.so.{major}")
    return root


def check_no_absolute_paths(root, options):
    """Package files find the prefix from their own place, and programs their libraries likewise."""
    forbidden = [str(Path(p).resolve()) for p in (options.build_dir, options.source_dir)] + [str(root)]
    for path in list(root.rglob("*.cmake")) + list(root.rglob("*.pc")):
        text = path.read_text()
        for folder in forbidden:
            if folder in text:
                raise Failure(f"{path.relative_to(root)} names {folder}")
    for path in [p for p in root.rglob("*") if p.is_file() and not p.is_symlink()]:
        if path.suffix in (".h", ".cmake", ".pc", ".desktop", ".svg", ".1", ".a"):
            continue
        dynamic = run(["objdump", "-p", path])
        for line in dynamic.splitlines():
            if ("RUNPATH" in line or "RPATH" in line) and any(folder in line for folder in forbidden):
                raise Failure(f"{path.relative_to(root)} keeps a path of the build: {line.strip()}")


def check_headers(prefix, options, work):
    """The installed headers hold every header they include."""
    include = prefix / "include"
    headers = sorted(str(p.relative_to(include)) for p in include.rglob("*.h"))
    source = work / "all_headers.cpp"
    source.write_text("".join(f"#include <{h}>\n" for h in headers))
    package = "quenarch-qt" if options.qt else "quenarch"
    flags = shlex.split(run(["pkg-config", "--cflags", package], env=pkg_config_env(prefix, options)))
    run([options.cxx, "-fsyntax-only", *flags, source])


def pkg_config_env(prefix, options):
    return dict(os.environ, PKG_CONFIG_PATH=str(prefix / options.libdir / "pkgconfig"))


def run_env(prefix, options):
    return dict(os.environ, QT_QPA_PLATFORM="offscreen", QT_PLUGIN_PATH=str(prefix / options.plugin_dir).removesuffix("/designer"))


def check_program_output(program, arguments, prefix, options, expected):
    output = run([program, *arguments], env=run_env(prefix, options))
    for text in expected:
        if text not in output:
            raise Failure(f"{program.name} did not print {text!r}:\n{output}")
    if options.shared:
        loaded = run(["ldd", program])
        for line in loaded.splitlines():
            if "libquenarch" in line and str(prefix) not in line:
                raise Failure(f"{program.name} loads a library from outside the moved tree: {line.strip()}")


def check_cmake_consumer(prefix, options, work):
    build = work / "consumer-cmake"
    flags = " ".join(options.cxx_flag)
    run(["cmake", "-S", Path(options.source_dir) / "examples/consumer", "-B", build, "-G", options.generator,
         f"-DCMAKE_PREFIX_PATH={prefix}", f"-DCMAKE_CXX_COMPILER={options.cxx}", "-DCMAKE_BUILD_TYPE=Release",
         f"-DCMAKE_CXX_FLAGS={flags}", f"-DCMAKE_EXE_LINKER_FLAGS={flags}"])
    run(["cmake", "--build", build, "--parallel", "2"])
    demo = Path(options.source_dir) / "examples/demo.zip"
    check_program_output(build / "headless-list", [demo], prefix, options, ["Notes.txt\t14", "ZIP file"])
    if options.designer:
        form = Path(options.source_dir) / "examples/consumer/form.ui"
        check_program_output(build / "quenarch-consumer", [form, demo], prefix, options,
                             ["placed: 8 rows", "compiled: 8 rows", "form: 8 rows", "Setup.exe"])


def check_pkg_config_consumer(prefix, options, work):
    consumer = Path(options.source_dir) / "examples/consumer"
    env = pkg_config_env(prefix, options)
    demo = Path(options.source_dir) / "examples/demo.zip"

    program = work / "headless-list-pc"
    flags = shlex.split(run(["pkg-config", "--cflags", "--libs", "quenarch"], env=env))
    run([options.cxx, *options.cxx_flag, consumer / "headless_list.cpp", *flags, "-o", program])
    check_program_output(program, [demo], prefix, options, ["Notes.txt\t14"])
    if options.designer:
        program = work / "quenarch-consumer-pc"
        uic = Path(run(["pkg-config", "--variable=libexecdir", "Qt6Core"]).strip()) / "uic"
        run([uic, consumer / "form.ui", "-o", work / "ui_form.h"])
        flags = shlex.split(run(["pkg-config", "--cflags", "--libs", "quenarch-qt", "Qt6UiTools"], env=env))
        run([options.cxx, *options.cxx_flag, "-fPIC", f"-I{work}", consumer / "main.cpp", *flags, "-o", program])
        check_program_output(program, [consumer / "form.ui", demo], prefix, options, ["compiled: 8 rows", "form: 8 rows"])


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--source-dir", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--libdir", required=True, help="CMAKE_INSTALL_LIBDIR")
    parser.add_argument("--plugin-dir", required=True, help="the Designer plugin's folder below the prefix")
    parser.add_argument("--cxx", required=True)
    parser.add_argument("--cxx-flag", action="append", default=[], help="compile and link flag for the consumers")
    parser.add_argument("--generator", default="Ninja")
    parser.add_argument("--shared", action="store_true")
    parser.add_argument("--qt", action="store_true")
    parser.add_argument("--designer", action="store_true")
    options = parser.parse_args()
    options.components = COMPONENTS[:2] + (["Tools"] if options.qt else []) + (["Designer"] if options.designer else [])

    with tempfile.TemporaryDirectory(prefix="quenarch-install-") as temporary:
        work = Path(temporary)
        try:
            root = check_layout(work / "stage", "/opt/quenarch", options)
            check_no_absolute_paths(root, options)
            moved = work / "moved" / "quenarch"
            moved.parent.mkdir()
            shutil.move(root, moved)
            check_headers(moved, options, work)
            check_cmake_consumer(moved, options, work)
            check_pkg_config_consumer(moved, options, work)
        except Failure as failure:
            print(f"FAILED: {failure}")
            return 1
    print("the installed package is complete, relocatable and usable through CMake and pkg-config")
    return 0


if __name__ == "__main__":
    sys.exit(main())
