#!/usr/bin/env python3
"""Makes the folder for Windows users and its zip: both programs, stripped,
side by side, and a short read-me in Chinese (GBK text, Windows line ends).

usage: package.py --bin WIN32_BIN_DIR --version X.Y.Z --out DIR [--strip TOOL]
Prints the zip's path. The programs in WIN32_BIN_DIR are left as they are."""
import argparse
import os
import shutil
import subprocess
import sys
import zipfile

PROGRAMS = ("Pellarine.exe", "Cordivane.exe")
README = """Zorvat 软件 {version}

Pellarine.exe  本地 MP3 播放器：在编辑框里输入与程序放在同一文件夹的歌曲名，
               或在“打开”对话框中选任意 MP3 文件，然后开始、暂停、继续、停止播放。
Cordivane.exe  在线音乐播放器的嵌入代码生成器：填入歌曲的哈希值，选好播放器样式、
               颜色和是否自动播放，生成播放器地址和 HTML 代码，复制到剪贴板并预览。
               它也能启动 Pellarine。

两个程序都是独立的 32 位 Windows 程序，不需要安装：把两个文件放在同一个文件夹里，
双击即可运行。
"""


def package(bin_dir, version, out, strip):
    name = f"Zorvat-{version}"
    folder = os.path.join(out, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for program in PROGRAMS:
        target = os.path.join(folder, program)
        subprocess.run([strip, "-o", target, os.path.join(bin_dir, program)], check=True)
    with open(os.path.join(folder, "README.txt"), "wb") as f:
        f.write(README.format(version=version).replace("\n", "\r\n").encode("gbk"))
    archive = os.path.join(out, name + ".zip")
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
        for entry in sorted(os.listdir(folder)):
            z.write(os.path.join(folder, entry), f"{name}/{entry}")
    return archive


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--strip", default=shutil.which("i686-w64-mingw32-strip"))
    args = parser.parse_args()
    if not args.strip:
        sys.exit("i686-w64-mingw32-strip is not found: install binutils-mingw-w64-i686")
    print(package(args.bin, args.version, args.out, args.strip))


if __name__ == "__main__":
    main()
