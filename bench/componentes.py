#!/usr/bin/env python3
# Roda bench/placa_bench_componentes e escreve a seção dos componentes de doc/desempenho.md (ou a mostra):
#   python3 bench/componentes.py build-ci/bench/placa_bench_componentes [doc/desempenho.md] [--pares=N]
# A seção vai do seu título ao título seguinte de mesmo nível (ou ao fim) e é trocada inteira; sem ela no arquivo,
# é acrescentada no fim.
import json
import os
import subprocess
import sys

TITULO = "## Every component against the classic V-cycle"


def medir(binario, extras):
    saida = subprocess.run([binario, "--benchmark_format=json", *extras], check=True, capture_output=True, text=True)
    return json.loads(saida.stdout)


def alvo_texto(b):
    alvo = b.get("alvo", 0.0)
    if alvo > 0:
        return f"<= {alvo:g}"
    if b["name"].split("/")[1] in ("W-cycle", "F-cycle", "FMG (V)"):
        return f"~ {b['razao_ut']:.2f} (work units)"
    return ""


LIMITES = """gs-lex with half or full weighting runs on the fused fast pass: three rotating rows of residuals are
computed (in vectors) behind the last sweep, each fine row once, and coarse row J is written with fine row 2J.
gs-sym with omega 1 runs its forward sweeps on the fast pass and its backward sweeps on a scalar kernel with eight
rows in flight walking memory backwards (one thread; the forward sweeps use the team).

gs-rb and jacobi (any omega, every restriction) run on the fast pass as well. In one thread the sweeps, the
prolongation before them and the restriction and norm after them go in one walk over the level, as a wavefront of
rows: sweep s works two rows behind sweep s-1; red-black does the red points of row r and then the black points of
row r-1 (a black point reads only red values, all final by then); Jacobi computes row r into a pending row and then
writes the pending row r-1, which row r read still old. Their row kernels are chosen per instruction set at run
time (scalar, AVX2, AVX-512; every lane does the scalar sum in the same order): red-black computes every lane and
keeps those of the colour, with west and east shifted from the row's vectors already in registers (loading them
from memory right after the previous store made each load wait on a partly overlapping store). On levels of 2^19
interior points or more with several threads, each colour (each Jacobi sweep) splits the rows among the team, one
walk per sweep.

line-x runs up to four sweeps at once, each two lines behind the one before, with the Thomas recurrences of the
lines of one step interleaved. line-y does the same with blocks of eight columns (each sweep two blocks behind):
a block is copied row by row into contiguous scratch columns, solved there and copied back, so the level is read
and written in row order; the scratch columns are padded so that they are not a multiple of 4 KiB apart (they
were, and every column of a block fell into the same L1 sets).

What limits the rows that miss their target:

- **line-x, line-y and line-alt** are bound by the latency of the Thomas recurrences, not by memory: each point
  of a line costs a multiply, an add and a divide in one dependent chain in the forward elimination
  (h(n) = (d(n) + e*h(n-1)) / w(n)) and a multiply and an add in the back substitution. A line reads the line
  before it only after that line's back substitution has ended, so one sweep is one chain; the only independent
  chains are the sweeps of one smoothing step, now interleaved: two in V(2,2), which halves the time per point
  and no more (about 10-12 cycles per point and work unit remain, the latency of the divide chain over two).
  More chains in one thread would need another order of operations (a reciprocal instead of the divide, cyclic
  reduction), which changes the bits. line-alt alternates an x sweep and a y sweep, each needing the whole of
  the other: one chain at a time, nothing to interleave, at the full latency (about 25 cycles per point).
- **line-y against line-x** (target: within 1.2x) is at the edge: 1.16-1.22 in time per cycle over two runs of
  this benchmark on 2026-12-09 (the ratio columns divide by classic cycles measured at other moments, 1.20-1.37).
  line-y does the same recurrences plus the copies of each block into scratch and back, which run between the
  solves instead of beside the latency-bound chains. Leaving the copy back out (wrong results, timing only) took about 11 ms off a line-y cycle of 133 ms against 105 ms for
  line-x (2026-12-09, one run of 5 pairs); the copy in costs about as much. Hiding them needs the copies
  interleaved into the recurrence loops (row n of the next block copied in, and of the previous block copied
  out, in the step for row n), which in turn needs the sweeps four blocks apart instead of two.
- **gs-sym** is at the target within the noise: it does 1.67 times the classic cycle's work units, and its cost
  per point and work unit is that of the fused gs-lex rows; the rest is that its restriction, prolongation and
  norm are still plain passes of their own, and that its backward sweeps (scalar, eight rows in flight) run on one
  thread and without vector lanes.
- **W, F and FMG** are in proportion to their work units within the noise: their extra visits are to coarse levels,
  which run on the same fast pass; FMG adds the prolongation of the field between levels (a plain loop).
"""


def secao(dados, comando):
    linhas = [TITULO, ""]
    ctx = dados.get("context", {})
    linhas.append(
        "Time of one cycle of each component at 2049 x 2049 (V(2,2) down to 3 x 3, sinusoidal problem, one thread, "
        "instruction sets chosen as the program does) over the time of the classic cycle (gs-lex, injection), "
        "measured in alternating pairs (classic, component) in the same run; each ratio is the median of the pairs' "
        "ratios. *Before* is the same method with the kernels it had before they were tuned (the fast kernels off), "
        "measured in the same run; where a component's kernels did not change, before and now are one measurement. "
        "Every row has the bits of the plain loops (tests/fast/teste_rapido.cpp, teste_pontuais.cpp, "
        "teste_colunas.cpp). *Kernels*: the summary's `instrucoes` (fast sweeps/pointwise kernels, `off` for plain "
        "loops). The machine is shared (other builds and benchmarks may run beside this one): compare the ratios, "
        "measured in pairs, rather than the milliseconds."
    )
    linhas.append("")
    linhas.append(f"Produced by `{comando}` on {ctx.get('date', '?')}, load average "
                  f"{', '.join(f'{x:.1f}' for x in ctx.get('load_avg', [])) or '?'}.")
    linhas.append("")
    linhas.append("| component | kernels | ms per cycle | ratio now | ratio before | target | work units ratio "
                  "| ns per fine point and work unit |")
    linhas.append("|---|---|---:|---:|---:|---|---:|---:|")
    bs = [b for b in dados["benchmarks"] if not b.get("error_occurred")]
    por_nome = {b["name"].split("/")[1]: b for b in bs}
    for b in bs:
        nome = b["name"].split("/")[1]
        if nome.endswith(" plain loops") and nome != "classic plain loops":
            continue
        antes = por_nome.get(nome + " plain loops")
        antes_txt = f"{antes['razao']:.2f}" if antes else ("" if nome == "classic plain loops" else "(unchanged)")
        linhas.append(f"| {nome} | {b.get('label', '')} | {b['ms']:.1f} | {b['razao']:.2f} | {antes_txt} | "
                      f"{alvo_texto(b)} | {b['razao_ut']:.2f} | {b['ns_ponto_ut']:.2f} |")
    linhas.append("")
    linhas.append("The classic cycle itself took a median of "
                  f"{sorted(b['ms_classico'] for b in bs)[len(bs) // 2]:.1f} ms per cycle over all pairs; "
                  "*classic plain loops* is the straightforward program's cycle.")
    linhas.append("")
    linhas.append(LIMITES)
    return "\n".join(linhas)


def trocar(doc, nova):
    texto = open(doc, encoding="utf-8").read() if os.path.exists(doc) else ""
    i = texto.find(TITULO + "\n")
    if i < 0:
        texto = texto.rstrip("\n") + "\n\n" + nova
    else:
        j = texto.find("\n## ", i + len(TITULO))
        texto = texto[:i] + nova + (texto[j + 1:] if j >= 0 else "")
    with open(doc + ".tmp", "w", encoding="utf-8") as f:
        f.write(texto)
    os.replace(doc + ".tmp", doc)


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    extras = [a for a in sys.argv[1:] if a.startswith("--")]
    if not args:
        sys.exit("usage: componentes.py BENCH_BINARY [DOC.md] [--pares=N]")
    comando = "python3 bench/componentes.py " + " ".join(sys.argv[1:])
    nova = secao(medir(args[0], extras), comando)
    if len(args) > 1:
        trocar(args[1], nova)
    else:
        print(nova)


if __name__ == "__main__":
    main()
