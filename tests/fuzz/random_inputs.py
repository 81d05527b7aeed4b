#!/usr/bin/env python3
"""Runs vexo on random blanks and data files built from the pieces of their
languages (placeholders, commands, tags, escapes, bad bytes) and fails when a
run crashes, writes to standard error (a sanitizer report), ends with a status
other than 0 or 1, or does not end within 20 seconds.

usage: random_inputs.py <vexo binary> <runs> <seed>
"""
import os
import random
import shutil
import subprocess
import sys
import tempfile

vexo = sys.argv[1]; n = int(sys.argv[2]); seed = int(sys.argv[3])
rnd = random.Random(seed)
toks = ["$1","$2","$$1","&1","&&2","$0","&0","@D","@T","@1","@@2","#","##","?","=",">","  ","\t","A","B","x","word ","long,text;","...","@","$","&","\\","é","\xff","\x80","\r","\x01"]
cmds = [">jump to 1",">jump to 2 $1",">jump to 1 $1^",">jump to 2 &1",">jump to 1 $0",">jump to 9",">repeat 2:3",">repeat 1:1000",">repeat 100:2",">1",">2",">A=$1",">B=&2",">A=$2",">x",">",">jump to 1 $3x","> =$1"]
dtoks = ["$1;","$2;","&1;","&2;","@","\n",">","\\","\\\n","text","more words here, ok;","\xff","\x80","é","$0;","$;","&;","$99999999999999999999999;","\r\n","  "]
def blank():
    lines=[]
    for _ in range(rnd.randint(0,12)):
        if rnd.random()<0.35: lines.append(rnd.choice(cmds))
        else: lines.append("".join(rnd.choice(toks) for _ in range(rnd.randint(0,10))))
    return "\n".join(lines)+("\n" if rnd.random()<0.8 else "")
bad=0
for it in range(n):
    d=tempfile.mkdtemp()
    for p in (1,2,3):
        if rnd.random()<0.85:
            open(f"{d}/f.{p}","wb").write(blank().encode("utf-8"))
    data="".join(rnd.choice(dtoks) for _ in range(rnd.randint(0,60)))
    open(f"{d}/d.txt","wb").write(data.encode("latin-1","replace") if rnd.random()<0.3 else data.encode("utf-8"))
    try:
        r=subprocess.run([vexo,"-Bf","-Id.txt","-Oout.txt"],cwd=d,capture_output=True,timeout=20)
        if r.returncode not in (0,1) or r.stderr:
            bad+=1; print("BAD",it,r.returncode,r.stderr[:500]); shutil.copytree(d, f"{tempfile.gettempdir()}/vexo-random-bad-{seed}-{it}")
    except subprocess.TimeoutExpired:
        bad+=1; print("HANG",it); shutil.copytree(d, f"{tempfile.gettempdir()}/vexo-random-hang-{seed}-{it}")
    shutil.rmtree(d)
print(f"{n - bad} passed, {bad} failed")
sys.exit(1 if bad else 0)
