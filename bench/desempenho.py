#!/usr/bin/env python3
# Roda bench/placa_bench e escreve doc/desempenho.md: tabelas com o limite de banda ao lado de cada cifra (a banda
# medida na mesma execução com quatro vezes o último nível de cache), a solução inteira como processo contra o
# programa direto e para onde vão os seus milissegundos, uma e duas threads na solução inteira (máquina ociosa e
# meio ocupada), os pares (bench/pares/pares.py: hypre e PETSc), a máquina, a data, as metas e, no fim, o que as
# limita (bench/limites.md, texto medido à mão, com os comandos para refazer as medidas).
#
#   python3 bench/desempenho.py build-bench/bench/placa_bench doc/desempenho.md
#
# A placa e o programa direto vêm da mesma pasta de compilação (build-bench/placa, build-bench/bench/placa_direto).
# --sem-pares reaproveita a última seção dos pares (bench/pares/pares.md) em vez de rodá-los.
import argparse
import datetime
import json
import os
import platform
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import componentes  # noqa: E402
import inteira  # noqa: E402
from tabelas import (NOVE, achar, ms, pares_md, razao_ao_limite, secao_inteira,  # noqa: E402
                     secao_milissegundos, secao_threads, tabela_ciclo, tabela_gs, tabela_nove, tabela_operador,
                     ns_por_atualizacao, nove_rapidos, variaveis_rapidos)


def rodar(programa, filtro=None):
    with tempfile.NamedTemporaryFile(suffix=".json", delete=False) as f:
        saida = f.name
    carga_antes = os.getloadavg()[0]
    subprocess.run([programa, "--benchmark_out=" + saida, "--benchmark_out_format=json",
                    "--benchmark_report_aggregates_only=true"] + ([f"--benchmark_filter={filtro}"] if filtro else []),
                   check=True, stdout=subprocess.DEVNULL)
    carga_depois = os.getloadavg()[0]
    with open(saida) as f:
        dados = json.load(f)
    os.unlink(saida)
    return dados, carga_antes, carga_depois


def argumentos(nome):
    return {k: int(v) for k, v in re.findall(r"(\w+):(-?\d+)", nome.split("/", 1)[1])
            if k in ("n", "nitm", "variante", "threads", "suavizador", "forma")}


def indexar(dados):
    """(função, argumentos) -> {'min': ..., 'median': ...} em ms, mais os contadores da mediana."""
    r = {}
    for b in dados["benchmarks"]:
        if b.get("error_occurred"):
            continue
        funcao = b["run_name"].split("/")[0]
        chave = (funcao, tuple(sorted(argumentos(b["run_name"]).items())))
        agregado = b.get("aggregate_name", "unica")
        if agregado not in ("min", "median", "unica"):
            continue
        entrada = r.setdefault(chave, {})
        entrada[agregado] = b["real_time"]
        if agregado in ("min", "unica"):
            entrada["min_cpu"] = b["cpu_time"] # a thread do benchmark: com uma thread, sem o atraso de outros processos
        if agregado in ("median", "unica"):
            entrada["contadores"] = {k: v for k, v in b.items() if isinstance(v, (int, float))}
    return r


def maquina():
    linhas = []
    try:
        lscpu = subprocess.run(["lscpu"], capture_output=True, text=True).stdout
        campos = dict(re.findall(r"^([^:]+):\s*(.*)$", lscpu, re.M))
        # sem as caches no lscpu (algumas máquinas virtuais), as de sysconf
        getconf = subprocess.run(["getconf", "-a"], capture_output=True, text=True).stdout
        for nome, chave in (("L1d cache", "LEVEL1_DCACHE_SIZE"), ("L2 cache", "LEVEL2_CACHE_SIZE"),
                            ("L3 cache", "LEVEL3_CACHE_SIZE")):
            m = re.search(rf"^{chave}\s+(\d+)", getconf, re.M)
            if nome not in campos and m and int(m.group(1)) > 0:
                campos[nome] = f"{int(m.group(1)) // 1024} KiB"
        linhas.append(f"{campos.get('Model name', '?')}, {campos.get('CPU(s)', '?')} processors "
                      f"({campos.get('Hypervisor vendor', 'no hypervisor')}), L1d {campos.get('L1d cache', '?')}, "
                      f"L2 {campos.get('L2 cache', '?')}, L3 {campos.get('L3 cache', '?')}")
    except OSError:
        linhas.append(platform.processor())
    try:
        with open("/proc/meminfo") as f:
            total = int(re.search(r"MemTotal:\s+(\d+)", f.read()).group(1))
        linhas.append(f"{total / 1048576:.0f} GiB of memory; Linux {platform.release()}")
    except (OSError, AttributeError):
        pass
    try:
        versao = subprocess.run(["c++", "--version"], capture_output=True, text=True).stdout.splitlines()[0]
        linhas.append(f"{versao}, -O3 -ffp-contract=off, no -march (AVX2/AVX-512 chosen per function at run time)")
    except (OSError, IndexError):
        pass
    return linhas


def main():
    p = argparse.ArgumentParser(description="Run the benchmarks and write doc/desempenho.md.")
    p.add_argument("programa", help="build-bench/bench/placa_bench (placa and placa_direto come from the same build)")
    p.add_argument("destino", help="the page to write (doc/desempenho.md)")
    p.add_argument("--filtro", help="only these benchmarks (--benchmark_filter); the page then lacks the others")
    p.add_argument("--sem-pares", action="store_true", help="keep the last peers section instead of running them")
    p.add_argument("--repeticoes-pares", type=int, default=1, help="timed repetitions of each peer run (default 1)")
    a = p.parse_args()
    programa, destino = a.programa, a.destino
    pasta_bench = os.path.dirname(os.path.abspath(programa))
    a.placa = os.path.join(os.path.dirname(pasta_bench), "placa")
    direto = os.path.join(pasta_bench, "placa_direto")
    dados, carga_antes, carga_depois = rodar(programa, a.filtro)
    r = indexar(dados)
    sol = achar(r, "BM_solucao_2049", threads=1) or {}
    sc = sol.get("contadores", {})
    duas = {n: (achar(r, "BM_duas_threads", n=n) or {}).get("contadores", {}) for n in (1025, 2049, 4097)}
    banda = {}
    for th in (1, 2):
        x = achar(r, "BM_gauss_seidel", n=513, variante=1, threads=th)
        banda[th] = x["contadores"] if x else {}

    banc = inteira.bancada(a.placa, direto)
    try:
        contra = [inteira.contra_o_direto(banc, 2049, 5), inteira.contra_o_direto(banc, 4097, 3)]
        tempos = inteira.tempos_da_solucao(banc, 2049)
        tempos["n"] = 2049
        perfil = inteira.onde_vao(banc, 2049)
        linhas_threads = []
        for meio in (False, True):
            for n in (257, 513, 1025, 2049, 4097):
                m = inteira.threads(banc, n, 3 if n == 4097 else 5, meio)
                m["meio"] = meio
                linhas_threads.append(m)
    finally:
        banc.fechar()
    carga_fim = os.getloadavg()[0]
    secao_pares = pares_md(a)

    hoje = datetime.date.today().isoformat()
    t = []
    t.append("# Performance")
    t.append("")
    t.append(f"Generated on {hoje} by `python3 bench/desempenho.py build-bench/bench/placa_bench doc/desempenho.md` "
             "after")
    t.append("")
    t.append("```sh")
    t.append("cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DPLACA_BENCH=ON -DPLACA_TESTES=OFF && "
             "cmake --build build-bench -j2")
    t.append("```")
    t.append("")
    t.append("and, for the peers section, `sudo apt-get install libhypre-dev petsc-dev` (neither the tests nor CI "
             "need them; `--sem-pares` keeps the last peers section instead). One run of the command takes about "
             "half an hour on two processors, most of it the peers.")
    t.append("")
    t.append("Machine: " + "; ".join(maquina()) + f". System load average: {carga_antes:.1f} at the start, "
             f"{carga_depois:.1f} after the kernel benchmarks, {carga_fim:.1f} after the whole-run measurements "
             "(other processes share the processors; each kernel figure is the fastest of 3 repetitions, 5 for the "
             "variable and nine-point operators, whole runs are medians of alternating pairs, and every ratio is "
             "measured within one run).")
    t.append("")
    b1, b2 = banda[1], banda[2]
    if b1:
        t.append(f"Memory bandwidth, measured at the start of the run with a working set of "
                 f"{b1['conjunto_MiB']:.0f} MiB, four times the last-level cache ({b1['cache_MiB']:.0f} MiB, read "
                 f"from sysfs or sysconf; at least 256 MiB), bytes read plus bytes written per second, best of 3: "
                 f"in-place update (x = 0.5x + 0.5, as a sweep reads and writes T) {b1['banda_no_lugar_GBs']:.1f} "
                 f"GB/s, copy (memcpy of one half onto the other) {b1['banda_copia_GBs']:.1f} GB/s with 1 thread; "
                 f"{b2.get('banda_no_lugar_GBs', 0):.1f} and {b2.get('banda_copia_GBs', 0):.1f} GB/s with 2. The "
                 "bound of each row uses the larger of the two (the faster memory, the stricter bound): the bytes "
                 "the work must move (T read and written once per pass: 16 bytes per fine point; a V-cycle: 32 per "
                 "fine point and 56 per coarse point) over that bandwidth; \"ns per update\" is the time of one "
                 "point update (for a V-cycle, the cycle's time over 2·nitm updates of every fine point). Variants: "
                 "the reference kernels (plain loops) and the fast pass with each instruction set forced; the fast "
                 "pass picks the scalar sweeps with the widest pointwise kernels by default.")
        t.append("")
    t.append("## One gauss_seidel call")
    t.append("")
    t += tabela_gs(r)
    t.append("")
    t.append("## One V-cycle (down to 3 x 3)")
    t.append("")
    t += tabela_ciclo(r)
    t.append("")
    secao_inteira(t, contra, sc)
    secao_milissegundos(t, tempos, perfil)
    secao_threads(t, linhas_threads, duas)
    t.append("## Variable coefficients")
    t.append("")
    t.append("Each smoother's plain loops with the constant operator and with the variable one (`--coefficient "
             "jump:1000`, the box scheme: edge coefficients and diagonal read per point, the point value divided by "
             "ap(P)), two sweeps of a 2049² level with a right-hand side, one thread. The bound of the variable "
             "kernels is their own traffic: u read and written, f, ax, ay and ap read, 48 bytes per point update "
             "(jacobi 64: it copies the level first) over the bandwidth above. The constant operator keeps the fast "
             "pass where it applies (gs-lex with omega 1, gs-rb and jacobi with any omega, each with injection, half "
             "or full weighting; the forward sweeps of gs-sym with omega 1) and the line smoothers their own kernels: "
             "the first columns compare the plain loops only. The last two are the variable operator on the fast "
             "kernels where it has them: gs-rb and jacobi with row kernels in vectors and, in one thread, both sweeps "
             "in one walk over the level as a wavefront of rows, as on the fast pass; gs-lex and gs-sym with eight "
             "rows in flight, each a few columns behind the one before, so that eight chains of dependent updates "
             "overlap (the lag keeps the rows in flight out of each other's L1 sets: with one column, at 2049² they "
             "were exactly 16 KiB apart and ran slower than the plain loop); line-x with up to four sweeps at once, "
             "each two lines behind the one before, the Thomas recurrences of a step's lines interleaved (each with "
             "its line's coefficients); line-y (and the y half of line-alt) "
             "with blocks of eight columns copied row by row into contiguous scratch (u, f and the three "
             "coefficient grids), each column solved there in order and the block copied back, so the memory is "
             "read in rows instead of one page per point, and up to four sweeps at once, each two blocks behind "
             "the one before, the recurrences of a step's columns interleaved. The same bits: "
             "tests/fast/teste_variaveis.cpp.")
    t.append("")
    t += tabela_operador(r)
    t.append("")
    t.append("## Nine-point operators (Galerkin coarse levels)")
    t.append("")
    t.append(NOVE)
    t.append("")
    t += tabela_nove(r)
    t.append("")
    t += secao_pares
    t.append("## Targets")
    t.append("")

    def meta(texto, ok, cifra):
        t.append(f"- {texto}: {'met' if ok else 'missed'} ({cifra}).")

    for m in contra:
        meta(f"Whole {m['n']}² run at least 8x faster than the straightforward program", m["razao"] >= 8,
             f"{m['razao']:.2f}x in wall time, {m['razao_cpu']:.2f}x in processor time")
    if perfil and contra:
        resolver = sum(v for k, v in perfil["grupos"].items() if k.startswith("solve"))
        m = contra[0]
        t.append(f"  What limits it, measured in the same run: of placa's {perfil['amostrado_ms']:.0f} ms of processor "
                 f"time at {m['n']}², the solve takes {resolver:.0f} ms (the sampled table above); with nothing "
                 f"else at all the ratio would be {m['direto_cpu_s'] * 1e3 / resolver:.2f}x, so 8x needs a faster "
                 "cycle (see the V-cycle rows and the note below), not a leaner run around it.")
    gs = {n: razao_ao_limite(r, "BM_gauss_seidel", n=n) for n in (513, 2049, 4097)}
    gs = {n: x for n, x in gs.items() if x}
    if gs:
        meta("The fast sweep (gauss_seidel, nitm 2, best fast variant, 1 thread) within 2x of the bandwidth bound",
             all(x <= 2 for x in gs.values()), ", ".join(f"{n}²: {x:.2f}x" for n, x in gs.items()))
    em_cache = achar(r, "BM_gauss_seidel", n=513, variante=1, threads=1)
    grande = achar(r, "BM_gauss_seidel", n=4097, variante=1, threads=1)
    if gs and any(x > 2 for x in gs.values()) and em_cache and grande:
        a, b = ns_por_atualizacao(em_cache), ns_por_atualizacao(grande)
        t.append(f"  What limits it, measured in the same run: the scalar sweep takes {a:.3f} ns per update at 513² "
                 f"(2 MiB, inside the last-level cache, no memory traffic) and {b:.3f} ns at 4097² (from memory), "
                 f"{b / a:.2f} times as long; the bound at 4097² is {grande['contadores']['limite_ns']:.3f} ns. The "
                 "sweep runs at its in-cache speed, so its arithmetic (each update waits for the west neighbour it "
                 "has just written, in the written order of operations), not the memory, is what it is waiting for "
                 "(see the note below).")
    ciclos = {n: razao_ao_limite(r, "BM_ciclo_v", n=n, nitm=2) for n in (1025, 2049, 4097)}
    ciclos = {n: x for n, x in ciclos.items() if x}
    if ciclos:
        meta("A V-cycle (nitm 2, 1 thread) within 2.5x of its bandwidth bound", all(x <= 2.5 for x in ciclos.values()),
             ", ".join(f"{n}²: {x:.2f}x" for n, x in ciclos.items()))
    v1025 = achar(r, "BM_ciclo_v", n=1025, nitm=2, variante=1, threads=1)
    v4097 = achar(r, "BM_ciclo_v", n=4097, nitm=2, variante=1, threads=1)
    if ciclos and any(x > 2.5 for x in ciclos.values()) and v1025 and v4097:
        a, b = ns_por_atualizacao(v1025), ns_por_atualizacao(v4097)
        t.append(f"  What limits it, measured in the same run: a V-cycle takes {a:.3f} ns per fine update at 1025² "
                 f"(all levels, 12 MiB, inside the last-level cache) and {b:.3f} ns at 4097² (from memory), "
                 f"{b / a:.2f} times as long: the cycle's sweeps, restriction and interpolation are bound by their "
                 "arithmetic in cache as out of it.")
    ociosa = [m for m in linhas_threads if not m["meio"] and m["n"] == 4097]
    if ociosa:
        meta("Two threads at least 1.3x faster for a whole 4097² run", ociosa[0]["aceleracao"] >= 1.3,
             f"{ociosa[0]['aceleracao']:.2f}x at load {ociosa[0]['carga']:.1f}")
        d = duas.get(4097, {})
        if ociosa[0]["aceleracao"] < 1.3 and d.get("uma_ms") and d.get("duas_ms"):
            t.append(f"  What limits it, measured in the same run: the cycle itself, {d['uma_ms']:.1f} ms per V-cycle "
                     f"with one thread and {d['duas_ms']:.1f} ms with two at 4097² ({d['uma_ms'] / d['duas_ms']:.2f}x, "
                     "the one-V-cycle table above); the two threads wait for each other at every band of a sweep, "
                     "and on this shared machine the whole 4097² run's speed-up ranged from 1.09x to 1.57x over six "
                     "regenerations of this page on 9 Dec 2026, at load averages of 1.0 to 1.2 (see \"Two threads "
                     "need both processors\" below).")
    nunca = all(m["aceleracao"] >= 1 for m in linhas_threads)
    meta("Two threads never slower than one for a whole run, as it is and half-busy", nunca,
         "; ".join(f"{m['n']}² {'half-busy' if m['meio'] else 'as it is'} {m['aceleracao']:.2f}x"
                   for m in linhas_threads))
    if not nunca:
        t.append("  What limits it: `-j 2` is honoured as asked, so it runs two threads where they are slower (small "
                 "levels, a busy processor); the default team, next line, is the one that chooses, by the level's "
                 "size and the idle processors, and is the one the target is for.")
    padrao = all(m["padrao_razao"] >= 1 / 1.05 for m in linhas_threads)
    meta("The default team never more than 5% slower than one thread", padrao,
         "; ".join(f"{m['n']}² {'half-busy' if m['meio'] else 'as it is'} {m['padrao_razao']:.2f}x"
                   for m in linhas_threads))
    variaveis = variaveis_rapidos(r)
    if variaveis:
        ok = all(x <= 2 for _, x in variaveis)
        meta("The variable five-point kernels on the fast kernels within 2x of their memory bound", ok,
             ", ".join(f"{nome} {x:.2f}x" for nome, x in variaveis))
        if not ok:
            t.append("  What limits them: gs-lex and gs-sym wait on the chain of each row (every point needs its "
                     "west neighbour just written, through two adds and the divide by ap(P)); eight rows in flight "
                     "overlap eight chains, and more rows ran slower (16: 1.6 times as long, the streams of every "
                     "row in flight competing for the L1 and the prefetchers).")
        t.append("  The line smoothers with the variable operator are bound by their recurrences: each point of a "
                 "line waits on the one before through a multiply, a subtract and two divides (w and g, then h), and "
                 "the lines of a Gauss-Seidel sweep go in order: the chains that can overlap are those of the "
                 "sweeps of one smoothing step, which line-x interleaves (two in V(2,2)); line-y and line-alt read "
                 "the memory in rows through the column blocks, which halves their time, and stay above line-x by "
                 "the copies into scratch and back; line-alt alternates an x and a y sweep, each needing the whole "
                 "of the other, so nothing of it overlaps.")
    nove = nove_rapidos(r)
    if nove:
        ok = all(x <= 2 for _, x in nove)
        meta("The nine-point kernels on the fast kernels within 2x of their memory bound", ok,
             ", ".join(f"{nome} {x:.2f}x" for nome, x in nove))
        if not ok:
            t.append("  What limits them: the constant stencil's bound counts only u and f (the nine numbers stay in "
                     "registers), and each point is nine products, eight adds and a divide: arithmetic, not memory "
                     "(gs-lex and gs-sym in scalar, eight rows in flight: reaching the bound would need the rows in "
                     "flight in vector lanes, as the fast pass does for the five-point stencil; gs-rb computes both "
                     "colours' lanes and keeps one, twice the arithmetic). The per-point stencil reads its nine grids "
                     "in the same L1 sets. line-y and line-alt are bound by their recurrences, as with the variable "
                     "five-point operator: each point of a column waits on the one before through a multiply, a "
                     "subtract and a divide (w and g) and a multiply, an add and a divide (h), and the columns of a "
                     "sweep go in order; with the per-point stencil, copying the nine coefficients of each point into "
                     "scratch took about half of the samples of a line-y sweep (`perf record`, 2049², 9 Dec 2026). "
                     "The per-point gs-lex and gs-sym stay on the plain loops (the table above).")
    t.append("- The same bits for every thread count and instruction set: met (tests/fast/teste_rapido.cpp, bit for "
             "bit against the reference kernels, every set the processor has forced in turn).")
    t.append("")
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "limites.md")) as f:
        t.append(f.read().rstrip())
    t.append("")
    # a seção dos componentes, medida pelo seu próprio benchmark na mesma chamada
    t.append("")
    t.append(componentes.secao(componentes.medir(os.path.join(pasta_bench, "placa_bench_componentes"), []),
                               "python3 bench/desempenho.py " + " ".join(sys.argv[1:])))
    with open(destino + ".novo", "w") as f:
        f.write("\n".join(t))
    os.replace(destino + ".novo", destino)


if __name__ == "__main__":
    main()
