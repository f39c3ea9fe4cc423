#!/usr/bin/env python3
# Roda bench/placa_bench e escreve doc/desempenho.md: tabelas com o limite de banda ao lado de cada cifra, a
# solução inteira contra o programa direto, duas threads contra uma, a máquina, a data, as metas e, no fim, o que
# as limita (bench/limites.md, texto medido à mão, com os comandos para refazer as medidas).
#
#   python3 bench/desempenho.py build-bench/bench/placa_bench doc/desempenho.md
import datetime
import json
import os
import platform
import re
import subprocess
import sys
import tempfile

VARIANTES = {0: "reference", 1: "scalar", 2: "AVX2", 3: "AVX-512"}


def rodar(programa):
    with tempfile.NamedTemporaryFile(suffix=".json", delete=False) as f:
        saida = f.name
    carga_antes = os.getloadavg()[0]
    subprocess.run([programa, "--benchmark_out=" + saida, "--benchmark_out_format=json",
                    "--benchmark_report_aggregates_only=true"], check=True, stdout=subprocess.DEVNULL)
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
        if agregado in ("median", "unica"):
            entrada["contadores"] = {k: v for k, v in b.items() if isinstance(v, (int, float))}
    return r


def achar(r, funcao, **args):
    return r.get((funcao, tuple(sorted(args.items()))))


def maquina():
    linhas = []
    try:
        lscpu = subprocess.run(["lscpu"], capture_output=True, text=True).stdout
        campos = dict(re.findall(r"^([^:]+):\s*(.*)$", lscpu, re.M))
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
              " | scalar, 2 threads | ns per update (best fast, 1 thread) | bandwidth bound, ns | ratio to bound |",
              "|---|" + "---|" * 8]
    for n in (513, 2049, 4097):
        cel, melhor = [], None
        for v, th in [(0, 1), (1, 1), (2, 1), (3, 1), (1, 2)]:
            x = achar(r, "BM_gauss_seidel", n=n, variante=v, threads=th)
            cel.append(ms(x and x.get("min")))
            if x and v > 0 and th == 1 and (melhor is None or x["min"] < melhor["min"]):
                melhor = x
        if melhor:
            c = melhor["contadores"]
            ns = melhor["min"] / melhor["median"] * c["ns_atualizacao"]
            cel += [f"{ns:.3f}", f"{c['limite_ns']:.3f}", f"{ns / c['limite_ns']:.2f}x"]
        linhas.append(f"| gauss_seidel {n} | " + " | ".join(cel) + " |")
    return linhas


def tabela_ciclo(r):
    linhas = ["| V-cycle | " + " | ".join(f"{VARIANTES[v]}, 1 thread" for v in range(4)) +
              " | scalar, 2 threads | ns per fine update (best fast, 1 thread) | bandwidth bound, ns | ratio to bound |",
              "|---|" + "---|" * 8]
    for n in (1025, 2049, 4097):
        for nitm in (1, 2, 3):
            cel, melhor = [], None
            for v, th in [(0, 1), (1, 1), (2, 1), (3, 1), (1, 2)]:
                x = achar(r, "BM_ciclo_v", n=n, nitm=nitm, variante=v, threads=th)
                cel.append(ms(x and x.get("min")))
                if x and v > 0 and th == 1 and (melhor is None or x["min"] < melhor["min"]):
                    melhor = x
            if melhor:
                c = melhor["contadores"]
                ns = melhor["min"] / melhor["median"] * c["ns_atualizacao"]
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
        nc, nv = c["contadores"]["ns_atualizacao"], v["contadores"]["ns_atualizacao"]
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
        nc = c["min"] / c["median"] * cc["ns_atualizacao"]
        nv = v["min"] / v["median"] * vc["ns_atualizacao"]
        # contra os de cinco pontos dos laços simples (BM_operador) da mesma execução, quando rodaram
        cinco = [achar(r, "BM_operador", n=2049, suavizador=i, forma=f) for f in (0, 1)]
        razoes = [f"{n9 / (x['min'] / x['median'] * x['contadores']['ns_atualizacao']):.2f}x" if x else "—"
                  for n9, x in zip((nc, nv), cinco)]
        linhas.append(f"| {nome} | {nc:.3f} | {cc['limite_ns']:.3f} | {nc / cc['limite_ns']:.2f}x | {nv:.3f} | "
                      f"{vc['limite_ns']:.3f} | {nv / vc['limite_ns']:.2f}x | {nv / nc:.2f}x | {razoes[0]} | "
                      f"{razoes[1]} |")
    return linhas


def razao_ao_limite(r, funcao, **args):
    melhor = None
    for v in (1, 2, 3):
        x = achar(r, funcao, variante=v, threads=1, **args)
        if x and (melhor is None or x["min"] < melhor["min"]):
            melhor = x
    if not melhor:
        return None
    c = melhor["contadores"]
    return melhor["min"] / melhor["median"] * c["ns_atualizacao"] / c["limite_ns"]


def main():
    programa, destino = sys.argv[1], sys.argv[2]
    dados, carga_antes, carga_depois = rodar(programa)
    r = indexar(dados)
    ctx = dados.get("context", {})
    sol = achar(r, "BM_solucao_2049", threads=1) or {}
    sc = sol.get("contadores", {})
    duas = {n: (achar(r, "BM_duas_threads", n=n) or {}).get("contadores", {}) for n in (1025, 2049, 4097)}
    banda = {}
    for th in (1, 2):
        x = achar(r, "BM_gauss_seidel", n=513, variante=1, threads=th)
        banda[th] = x["contadores"]["banda_GBs"] if x else None
    gs4097 = razao_ao_limite(r, "BM_gauss_seidel", n=4097)
    ciclo2049 = razao_ao_limite(r, "BM_ciclo_v", n=2049, nitm=2)
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
    t.append("Machine: " + "; ".join(maquina()) + f". System load average: {carga_antes:.1f} at the start, "
             f"{carga_depois:.1f} at the end (other processes share the processors; each figure is the fastest of 3 "
             "repetitions, and every ratio is measured within one run).")
    t.append("")
    t.append(f"Memory bandwidth measured at the start of the run (the larger of a 128 MiB copy and an in-place "
             f"update, best of 5): {banda[1] or 0:.1f} GB/s with 1 thread, {banda[2] or 0:.1f} GB/s with 2. The "
             "bandwidth bound of each row is the bytes the work must move (T read and written once per pass: 16 "
             "bytes per fine point; a V-cycle: 32 per fine point and 56 per coarse point) over that bandwidth; "
             "\"ns per update\" is the time of one point update (for a V-cycle, the cycle's time over 2·nitm "
             "updates of every fine point). Variants: the reference kernels (plain loops) and the fast pass with "
             "each instruction set forced; the fast pass picks the scalar sweeps with the widest pointwise "
             "kernels by default.")
    t.append("")
    t.append("## One gauss_seidel call")
    t.append("")
    t += tabela_gs(r)
    t.append("")
    t.append("## One V-cycle (down to 3 x 3)")
    t.append("")
    t += tabela_ciclo(r)
    t.append("")
    t.append("## Whole run against the straightforward program")
    t.append("")
    t.append("2049², nm 11 from 3 x 3, sinusoidal, nitm 2, tolt 1e-8 "
             f"({sc.get('ciclos', 0):.0f} cycles), allocation and release included, one thread each, alternating "
             "in the same run (fastest of 5). The straightforward program is the reference kernels "
             "(`ajustes.rapidos = false`: plain loops, all of cor zeroed every cycle, the initial field in separate "
             "passes).")
    t.append("")
    t.append("| straightforward | fast | ratio |")
    t.append("|---|---|---|")
    t.append(f"| {ms(sc.get('direto_ms'))} | {ms(sc.get('rapido_ms'))} | {sc.get('razao', 0):.2f}x |")
    t.append("")
    t.append("## Two threads against one")
    t.append("")
    t.append("V-cycle, nitm 2, default kernels, one and two threads alternating (medians of 7):")
    t.append("")
    t.append("| n² | 1 thread | 2 threads | speed-up |")
    t.append("|---|---|---|---|")
    for n, c in duas.items():
        if c:
            t.append(f"| {n} | {ms(c['uma_ms'])} | {ms(c['duas_ms'])} | {c['aceleracao']:.2f}x |")
    t.append("")
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
    t.append("## Targets")
    t.append("")

    def meta(texto, ok, cifra):
        t.append(f"- {texto}: {'met' if ok else 'missed'} ({cifra}).")

    razao = sc.get("razao", 0)
    meta("Whole 2049² run at least 8x faster than the straightforward program", razao >= 8, f"{razao:.2f}x")
    if gs4097:
        meta("gauss_seidel 4097², nitm 2, within 1.3x of the bandwidth bound", gs4097 <= 1.3, f"{gs4097:.2f}x")
    if ciclo2049:
        meta("V-cycle 2049², nitm 2, within 2x of its bound on one thread", ciclo2049 <= 2, f"{ciclo2049:.2f}x")
    a4097 = duas[4097].get("aceleracao", 0) if duas[4097] else 0
    meta("Two threads at least 1.3x faster on a 4097² V-cycle", a4097 >= 1.3, f"{a4097:.2f}x")
    nunca = all(c.get("aceleracao", 0) >= 1 for c in duas.values() if c)
    meta("Two threads never slower than one", nunca,
         ", ".join(f"{n}²: {c['aceleracao']:.2f}x" for n, c in duas.items() if c))
    t.append("- The same bits for every thread count and instruction set: met (tests/fast/teste_rapido.cpp, bit for "
             "bit against the reference kernels, every set the processor has forced in turn).")
    t.append("")
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "limites.md")) as f:
        t.append(f.read().rstrip())
    t.append("")
    with open(destino, "w") as f:
        f.write("\n".join(t))


if __name__ == "__main__":
    main()
