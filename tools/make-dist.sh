#!/usr/bin/env bash
# Packs the Windows build into duvarin-VERSION-win32.zip: the program, the
# default unit database, dvtool and a short readme in Chinese (GBK, CR LF),
# side by side, so the program finds dv.dat in the folder it is started in.
# The same commit gives the same package, byte for byte, whatever the
# folder, the time, the user, the umask, the time zone or the locale; beside
# it goes SHA256SUMS, which `sha256sum -c SHA256SUMS` checks.
#   tools/make-dist.sh [BUILD_DIR [OUT_DIR]]     (default build/win build/dist)
# Prints the package's name; says its SHA-256 on standard error.
set -euo pipefail
# Dates are written as UTC and the readme's bytes are treated as bytes.
export TZ=UTC LC_ALL=C
root=$(cd "$(dirname "$0")/.." && pwd)
# The time the package stands for: the commit's (tools/source-date-epoch.sh).
epoch=$("$root/tools/source-date-epoch.sh")
build=${1:-$root/build/win}
out=${2:-$root/build/dist}
files=("$build/shell/duvarin.exe" "$build/tools/dvtool/dvtool.exe" "$build/dv.dat")
for file in "${files[@]}"; do
    [ -f "$file" ] || { echo "make-dist: $file is missing; build the Windows targets first" >&2; exit 1; }
done
# The package is the 32-bit program; an x86_64 build exists only to test.
i686-w64-mingw32-objdump -f "$build/shell/duvarin.exe" | grep -q 'file format pei-i386' \
    || { echo "make-dist: $build holds no i686 program; the package is made from the i686 build" >&2; exit 1; }
# The version of the build, from project(VERSION) by way of the header the
# programs' version resources are made from.
version=$(sed -n 's/^#define DUVARIN_VERSION_TEXT "\(.*\)"$/\1/p' "$build/resources/duvarin_version.h" 2>/dev/null)
[ -n "$version" ] || { echo "make-dist: no version in $build/resources/duvarin_version.h" >&2; exit 1; }
package=duvarin-$version-win32.zip
# The host the program downloads rates from (make dist QUOTATION_HOST=name).
host=$(sed -n 's/^DUVARIN_QUOTATION_HOST:STRING=//p' "$build/CMakeCache.txt" 2>/dev/null)
[ -n "$host" ] || { echo "make-dist: no DUVARIN_QUOTATION_HOST in $build/CMakeCache.txt" >&2; exit 1; }

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "${files[@]}" "$stage/"
# The build keeps its debugging symbols; the package does not need them.
# strip writes the PE header anew, with the time of the stripping as its
# link time stamp unless SOURCE_DATE_EPOCH names another (binutils 2.40).
SOURCE_DATE_EPOCH=$epoch i686-w64-mingw32-strip "$stage/duvarin.exe" "$stage/dvtool.exe"
# The request carries the host in its Host line: a program built for
# another host than the build folder says must not ship.
grep -qaF "Host:$host" "$stage/duvarin.exe" \
    || { echo "make-dist: $build/shell/duvarin.exe does not ask $host; rebuild it" >&2; exit 1; }

{ echo "Duvarin v$version  单位换算工具"; cat; } <<'README' | iconv -f UTF-8 -t GBK | sed 's/$/\r/' > "$stage/readme.txt"
==========================

Duvarin 在不同单位之间换算数值：选择换算类型（例如长度、温度），在任一
单位的框里输入数值，其余各单位的框立即显示换算结果（保留三位小数）。
单位数据库可以自行修改，外币汇率可以在线更新。

文件
  duvarin.exe   程序
  dv.dat        单位数据库，自带 17 类常用单位：长度、面积、体积、质量、
                温度、速度、压强、能量、功率、时间、数据存储、角度、力、流量、
                频率、密度、扭矩
  dvtool.exe    数据库的命令行工具
  readme.txt    本说明

系统要求
  duvarin.exe 可在 Windows 2000 及以后的各版 Windows 上运行，处理器须支持
  SSE2（Pentium 4、Athlon 64 或更新）。dvtool.exe 需要 Windows Vista 或
  更高版本。

使用
  把这些文件放在同一个文件夹里，运行 duvarin.exe。程序从当前文件夹
  （双击启动时就是程序所在的文件夹）读取 dv.dat；找不到时数据库是空的。
  左侧三个按钮切换页面：“换算”“设置”“更新”。按 F1 显示“关于”。
  也可以只用键盘：Tab / Shift+Tab 在本页各项之间移动，Ctrl+Tab 或
  Ctrl+1、Ctrl+2、Ctrl+3 切换页面，空格键按下当前按钮。
  在“设置”页可以添加、删除、移动和修改单位组及其单位。每个单位由系数
  a 和 b 定义：该单位的数值 = a × 基准值 + b。

保存
  程序不会自动保存。在“设置”页所做的修改和下载的汇率立即可用，但只有
  按“保存”后才写入 dv.dat（下载日期写入 config.f）；不按“保存”就关闭
  程序，这些修改全部丢失。

更新汇率
  1. 打开“更新”页，在列表中选择一种汇率（如现汇买入价）。
  2. 按“下载”并确认。程序从报价网站取得汇率，写入以该汇率命名的单位组，
     以人民币为基准。需要能够连接互联网。
  3. 到“设置”页按“保存”，汇率才会保存下来。

dvtool
  dvtool dump dv.dat > units.txt      把数据库写成文本（UTF-8，加 --gbk 为 GBK）
  dvtool build units.txt dv.dat       由文本生成 dv.dat；有错时指出行号，不写文件
  dvtool check dv.dat                 程序会读到哪些单位组，或者为什么读到空数据库
  dvtool scan page.html               报价网页的五种汇率各会下载到什么
  文本中 [组名] 一行开始一组，其后每行一个单位：名称  a  b。详见 dvtool --help。
  在命令提示符窗口中查看单位名称请加 --gbk。
README

# Fixed times, modes and order, and no extra fields (-X: no owner, no
# second time stamp), so the same build gives the same package. The files'
# modes are the build's as the umask left them, so they are set here.
touch -d "@$epoch" "$stage"/*
chmod 755 "$stage/duvarin.exe" "$stage/dvtool.exe"
chmod 644 "$stage/dv.dat" "$stage/readme.txt"
mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -f "$out/$package" "$out/SHA256SUMS"
(cd "$stage" && zip -q -X -D "$out/$package" duvarin.exe dv.dat dvtool.exe readme.txt)
(cd "$out" && sha256sum "$package" >SHA256SUMS)
echo "make-dist: its program downloads rates from http://$host/" >&2
echo "make-dist: SHA-256 $(cut -d ' ' -f 1 "$out/SHA256SUMS") (in $out/SHA256SUMS)" >&2
echo "$out/$package"
