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
import inteira  # noqa: E402

VARIANTES = {0: "reference", 1: "scalar", 2: "AVX2", 3: "AVX-512"}


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


def achar(r, funcao, **args):
    return r.get((funcao, tuple(sorted(args.items()))))


def ns_por_atualizacao(x):
    """A repetição mais rápida em tempo de processador da thread do benchmark, por atualização de ponto: com uma
    thread, o que outros processos nos mesmos processadores não inflam."""
    c = x["contadores"]
    if "min_cpu" in x and c.get("atualizacoes"):
        return x["min_cpu"] * 1e6 / c["atualizacoes"]
    return x["min"] / x["median"] * c["ns_atualizacao"]


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


def ms(x):
    return "—" if x is None else (f"{x:.3g} ms" if x < 100 else f"{x:.0f} ms")


def tabela_gs(r):
    linhas = ["| work (nitm 2) | " + " | ".join(f"{VARIANTES[v]}, 1 thread" for v in range(4)) +
              " | scalar, 2 threads | ns per update (best fast, 1 thread, processor time) | bandwidth bound, ns | ratio to bound |",
              "|---|" + "---|" * 8]
    for n in (513, 2049, 4097):
        cel, melhor = [], None
        for v, th in [(0, 1), (1, 1), (2, 1), (3, 1), (1, 2)]:
            x = achar(r, "BM_gauss_seidel", n=n, variante=v, threads=th)
            cel.append(ms(x and x.get("min")))
            if x and v > 0 and th == 1 and (melhor is None or ns_por_atualizacao(x) < ns_por_atualizacao(melhor)):
                melhor = x
        if melhor:
            c = melhor["contadores"]
            ns = ns_por_atualizacao(melhor)
            cel += [f"{ns:.3f}", f"{c['limite_ns']:.3f}", f"{ns / c['limite_ns']:.2f}x"]
        linhas.append(f"| gauss_seidel {n} | " + " | ".join(cel) + " |")
    return linhas


def tabela_ciclo(r):
    linhas = ["| V-cycle | " + " | ".join(f"{VARIANTES[v]}, 1 thread" for v in range(4)) +
              " | scalar, 2 threads | ns per fine update (best fast, 1 thread, processor time) | bandwidth bound, ns | ratio to bound |",
              "|---|" + "---|" * 8]
    for n in (1025, 2049, 4097):
        for nitm in (1, 2, 3):
            cel, melhor = [], None
            for v, th in [(0, 1), (1, 1), (2, 1), (3, 1), (1, 2)]:
                x = achar(r, "BM_ciclo_v", n=n, nitm=nitm, variante=v, threads=th)
                cel.append(ms(x and x.get("min")))
                if x and v > 0 and th == 1 and (melhor is None or ns_por_atualizacao(x) < ns_por_atualizacao(melhor)):
                    melhor = x
            if melhor:
                c = melhor["contadores"]
                ns = ns_por_atualizacao(melhor)
                cel += [f"{ns:.3f}", f"{c['limite_ns']:.3f}", f"{ns / c['limite_ns']:.2f}x"]
            linhas.append(f"| {n}², nitm {nitm} | " + " | ".join(cel) + " |")
    return linhas


SUAVIZADORES = ("gs-lex", "gs-rb", "jacobi", "gs-sym", "line-x", "line-y", "line-alt")


def tabela_operador(r):
    """Suavizadores dos laços simples, operador constante e variável, por atualização de ponto e contra o limite."""
    linhas = ["| smoother (2 sweeps, 2049², 1 thread) | constant, ns per update | variable, ns per update | "
              "variable / constant | variable bound, ns | variable / bound |", "|---|---|---|---|---|---|"]
    for i, nome in enumerate(SUAVIZADORES):
        c = achar(r, "BM_operador", n=2049, suavizador=i, forma=0)
        v = achar(r, "BM_operador", n=2049, suavizador=i, forma=1)
        if not c or not v:
            continue
        nc, nv = ns_por_atualizacao(c), ns_por_atualizacao(v)
        lim = v["contadores"]["limite_ns"]
        linhas.append(f"| {nome} | {nc:.3f} | {nv:.3f} | {nv / nc:.2f}x | {lim:.3f} | {nv / lim:.2f}x |")
    return linhas


NOVE = ("The nine-point stencils that `--coarse-operator galerkin` gives the coarse levels: level 1 of a two-level "
        "hierarchy (2049², under a 4097² level), its operator R A P built once outside the timing, the constant "
        "stencil stored once per level (constant coefficient) and the per-point stencil in nine grids (`--coefficient "
        "jump:1000`); field and right-hand side at random, one thread. Each smoother's two sweeps and one norm of "
        "the residual (`norma_nivel`), per point update (the fastest of 3 repetitions). The bound is each kernel's "
        "own traffic over the 1-thread bandwidth: u read and written and f read, 24 bytes per point update (the norm "
        "reads u and f: 16); the per-point stencil adds its nine coefficients, 72 bytes (96 and 88); jacobi adds 16 "
        "(it copies the level first). The line smoothers keep their recurrences in cache. The last two columns set "
        "them against the five-point plain loops of the table above, constant and variable, in the same run.")


def tabela_nove(r):
    """Os núcleos de nove pontos de Galerkin (estêncil constante e por ponto) por atualização e contra o limite."""
    linhas = ["| kernel (2049², 1 thread) | constant nine-point, ns per update | bound, ns | constant / bound | "
              "per-point nine-point, ns per update | bound, ns | per-point / bound | per-point / constant | "
              "constant nine / constant five | per-point nine / variable five |",
              "|---|---|---|---|---|---|---|---|---|---|"]
    for i, nome in list(enumerate(SUAVIZADORES)) + [(-1, "norm (residual)")]:
        c = achar(r, "BM_nove", n=2049, suavizador=i, forma=0)
        v = achar(r, "BM_nove", n=2049, suavizador=i, forma=1)
        if not c or not v:
            continue
        cc, vc = c["contadores"], v["contadores"]
        # o mais rápido das repetições, como nas outras tabelas
        nc = ns_por_atualizacao(c)
        nv = ns_por_atualizacao(v)
        # contra os de cinco pontos dos laços simples (BM_operador) da mesma execução, quando rodaram
        cinco = [achar(r, "BM_operador", n=2049, suavizador=i, forma=f) for f in (0, 1)]
        razoes = [f"{n9 / ns_por_atualizacao(x):.2f}x" if x else "—"
                  for n9, x in zip((nc, nv), cinco)]
        linhas.append(f"| {nome} | {nc:.3f} | {cc['limite_ns']:.3f} | {nc / cc['limite_ns']:.2f}x | {nv:.3f} | "
                      f"{vc['limite_ns']:.3f} | {nv / vc['limite_ns']:.2f}x | {nv / nc:.2f}x | {razoes[0]} | "
                      f"{razoes[1]} |")
    return linhas


def razao_ao_limite(r, funcao, **args):
    melhor = None
    for v in (1, 2, 3):
        x = achar(r, funcao, variante=v, threads=1, **args)
        if x and (melhor is None or ns_por_atualizacao(x) < ns_por_atualizacao(melhor)):
            melhor = x
    if not melhor:
        return None
    return ns_por_atualizacao(melhor) / melhor["contadores"]["limite_ns"]


def seg(x):
    return "—" if x is None else ms(x * 1e3)


def secao_inteira(t, medidas, sc):
    t.append("## Whole run against the straightforward program")
    t.append("")
    t.append("The sinusoidal plate on N² points, nm levels from 3 x 3, nitm 2, tolt 1e-8, as processes: the wall "
             "time of the whole process, from start to exit, one thread each, in alternating pairs (the medians of "
             "each and the median of the pairs' ratios). placa is the program as a user runs it (`placa -n -j 1 "
             "INPUT`: reading the input, the solve, the analysis the listing shows and the listing written to a "
             "file). The straightforward program (`bench/placa_direto.cpp`) solves the same problem with the "
             "reference kernels (plain loops, all of cor zeroed every cycle, the initial field in separate passes) "
             "and writes nothing; it takes as many cycles as placa (checked).")
    t.append("")
    t.append("Beside the wall time, each process's processor time (user + system, from the kernel's accounting of "
             "the child): on a shared machine the wall time of a one-thread process grows with the other "
             "processes' demand, its processor time much less.")
    t.append("")
    t.append("| N² | cycles | pairs | load | straightforward, wall | placa, wall | ratio | straightforward, "
             "processor | placa, processor | ratio |")
    t.append("|---|---|---|---|---|---|---|---|---|---|")
    for m in medidas:
        t.append(f"| {m['n']} | {m['ciclos']} | {m['vezes']} | {m['carga']:.1f} | {seg(m['direto_s'])} | "
                 f"{seg(m['placa_s'])} | {m['razao']:.2f}x | {seg(m['direto_cpu_s'])} | {seg(m['placa_cpu_s'])} | "
                 f"{m['razao_cpu']:.2f}x |")
    if sc:
        t.append("")
        t.append(f"The solve alone, in one process (`BM_solucao_2049`: allocation, the solve and the release, no "
                 f"input or listing, fastest of 5, {sc.get('ciclos', 0):.0f} cycles): straightforward "
                 f"{ms(sc.get('direto_ms'))}, fast {ms(sc.get('rapido_ms'))}, {sc.get('razao', 0):.2f}x.")
    t.append("")


def secao_milissegundos(t, tempos, perfil):
    n = tempos["n"]
    t.append(f"### Where the milliseconds of a {n}² run go")
    t.append("")
    t.append(f"`placa -n -j 1 --timing INPUT` at {n}² (one run): the solve's own table (wall time per level and "
             "phase; the phases outside it are the initial field, the initial norm and the zeroed corrections):")
    t.append("")
    t.append("```")
    t += tempos["texto"].splitlines()
    t.append("```")
    t.append("")
    if perfil:
        t.append(f"The processor time of one such run (without --timing) sampled by `perf record -e cpu-clock` "
                 f"(10 kHz), grouped by function: {perfil['amostrado_ms']:.0f} ms sampled of "
                 f"{perfil['parede_ms']:.0f} ms of wall time (the rest is waiting: loading, scheduling).")
        t.append("")
        t.append("| where | ms |")
        t.append("|---|---|")
        for nome, v in sorted(perfil["grupos"].items(), key=lambda x: -x[1]):
            if v > 0:
                t.append(f"| {nome} | {v:.1f} |")
        t.append("")
        t.append("The heaviest functions: " + "; ".join(f"`{s.split(None, 1)[-1][:60]}` {v:.1f} ms"
                                                          for v, s in perfil["simbolos"][:8]) + ".")
        t.append("")


def secao_threads(t, inteiras, duas):
    t.append("## Threads")
    t.append("")
    t.append("The whole run as a process (the table above's problem and timing): `-j 1`, `-j 2` and the default "
             "(`-j` omitted: as many threads as idle processors) in alternating triples (medians, and the median of "
             "the ratios -j 1 / -j 2 within each triple), on the machine as it is and with one processor kept busy by a "
             "spinning process (half-busy). The load average is the system's when the row ended (other users' "
             "processes included).")
    t.append("")
    t.append("| N² | machine | load | 1 thread | 2 threads | speed-up | default |")
    t.append("|---|---|---|---|---|---|---|")
    for m in inteiras:
        t.append(f"| {m['n']} | {'half-busy' if m['meio'] else 'as it is'} | {m['carga']:.1f} | {seg(m['um_s'])} | "
                 f"{seg(m['dois_s'])} | {m['aceleracao']:.2f}x | {seg(m['padrao_s'])} |")
    t.append("")
    t.append("One V-cycle, nitm 2, default kernels, one and two threads alternating in one process (medians of 7):")
    t.append("")
    t.append("| n² | 1 thread | 2 threads | speed-up |")
    t.append("|---|---|---|---|")
    for n, c in duas.items():
        if c:
            t.append(f"| {n} | {ms(c['uma_ms'])} | {ms(c['duas_ms'])} | {c['aceleracao']:.2f}x |")
    t.append("")


def pares_md(a):
    """A seção dos pares: roda bench/pares/pares.py (que a grava em bench/pares/pares.md), ou reaproveita a última."""
    aqui = os.path.dirname(os.path.abspath(__file__))
    fragmento = os.path.join(aqui, "pares", "pares.md")
    if not a.sem_pares:
        linha = [sys.executable, os.path.relpath(os.path.join(aqui, "pares", "pares.py")), os.path.relpath(a.placa),
                 "--repeticoes", str(a.repeticoes_pares)]
        r = subprocess.run(linha, stdout=subprocess.DEVNULL)
        if r.returncode != 0:
            print("desempenho: the peers did not run (see above); their last section is kept", file=sys.stderr)
    if not os.path.exists(fragmento):
        return ["## Peers: hypre's PFMG and PETSc's PCMG on the same problem", "",
                "Not measured: run without `--sem-pares` on a machine with `libhypre-dev` and `petsc-dev`.", ""]
    with open(fragmento) as f:
        return f.read().rstrip("\n").splitlines() + [""]


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
             "(other processes share the processors; each kernel figure is the fastest of 3 repetitions, whole "
             "runs are medians of alternating pairs, and every ratio is measured within one run).")
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
    t.append("## Variable coefficients (plain loops)")
    t.append("")
    t.append("Each smoother's plain loops with the constant operator and with the variable one (`--coefficient "
             "jump:1000`, the box scheme: edge coefficients and diagonal read per point, the point value divided by "
             "ap(P)), two sweeps of a 2049² level with a right-hand side, one thread. The bound of the variable "
             "kernels is their own traffic: u read and written, f, ax, ay and ap read, 48 bytes per point update "
             "(jacobi 64: it copies the level first) over the bandwidth above. The constant operator keeps the fast "
             "pass where it applies (gs-lex, omega 1, injection): these rows compare the plain loops only.")
    t.append("")
    t += tabela_operador(r)
    t.append("")
    t.append("## Nine-point operators (Galerkin coarse levels, plain loops)")
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
    nunca = all(m["aceleracao"] >= 1 for m in linhas_threads)
    meta("Two threads never slower than one for a whole run, as it is and half-busy", nunca,
         "; ".join(f"{m['n']}² {'half-busy' if m['meio'] else 'as it is'} {m['aceleracao']:.2f}x"
                   for m in linhas_threads))
    padrao = all(m["padrao_razao"] >= 1 / 1.05 for m in linhas_threads)
    meta("The default team never more than 5% slower than one thread", padrao,
         "; ".join(f"{m['n']}² {'half-busy' if m['meio'] else 'as it is'} {m['padrao_razao']:.2f}x"
                   for m in linhas_threads))
    t.append("- The same bits for every thread count and instruction set: met (tests/fast/teste_rapido.cpp, bit for "
             "bit against the reference kernels, every set the processor has forced in turn).")
    t.append("")
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "limites.md")) as f:
        t.append(f.read().rstrip())
    t.append("")
    with open(destino + ".novo", "w") as f:
        f.write("\n".join(t))
    os.replace(destino + ".novo", destino)


if __name__ == "__main__":
    main()
