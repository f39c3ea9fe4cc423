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


LIMITES = """gs-lex with half or full weighting now runs on the fused fast pass: three rotating rows of residuals are
computed (in vectors) behind the last sweep, each fine row once, and coarse row J is written with fine row 2J.
gs-sym with omega 1 runs its forward sweeps on the fast pass and its backward sweeps on a scalar kernel with eight
rows in flight walking memory backwards (one thread; the forward sweeps use the team).

What limits the rows that miss their target (plain loops; their tuning is still to come):

- **gs-rb and jacobi** run their sweeps, the residual restriction, the prolongation and the norm as separate passes
  over the level's memory, each a plain loop at about 1.3-1.45 ns per point (red-black walks every row twice at
  stride 2, Jacobi copies the level first). Meeting 1.2x needs a fused pass like the lexicographic one: red points
  of row j and black points of row j-1 behind them (a black point reads only red values, all final by then), the
  next sweep two rows further back, the residual rows behind that.
- **gs-sym** is at the target within the noise (2.20-2.34x over three runs of this benchmark): it does 1.67 times
  the classic cycle's work units, and its cost per point and work unit is that of the fused gs-lex rows; the rest
  is that its restriction, prolongation and norm are still plain passes of their own, and that its backward sweeps
  (scalar, eight rows in flight) run on one thread and without vector lanes.
- **line-x, line-y and line-alt** are bound by the latency of the Thomas recurrences, not by memory: each point of
  a line costs a multiply, an add and a divide in the forward chain (h(n) = (d(n) + e*h(n-1)) / w(n)) and a multiply
  and an add in the back substitution, some 25-30 cycles of latency in one dependent chain (the last column gives
  the measured cost per point and work unit). A line reads the line before it only
  after that line's back substitution has ended, so every sweep is one chain; the only independent chains are the
  sweeps themselves (nitm of them, run as a wavefront one line apart), at best halving the time, which still leaves
  line-x above 3x. A reciprocal instead of the divide would change the bits. line-y walks the level column by
  column: every point of a column is on a different 4 KiB page (a row is 16 KiB at 2049 x 2049), so the strided
  loads and stores of each column touch 2047 pages; the likely cause of the gap between line-y and line-x (not
  measured with hardware counters here). Reading the level in row order for line-y (a transposed copy, or the
  right-hand sides of several columns gathered per row) is the next step.
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
        "Every row has the bits of the plain loops (tests/fast/teste_rapido.cpp). *Kernels*: the summary's "
        "`instrucoes` (fast sweeps/pointwise kernels, `off` for plain loops)."
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
