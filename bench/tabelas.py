# As tabelas e seções de doc/desempenho.md a partir das medidas: os núcleos contra o limite de banda, a solução
# inteira contra o programa direto e para onde vão os seus milissegundos, as threads e a seção dos pares.
import os
import subprocess
import sys

VARIANTES = {0: "reference", 1: "scalar", 2: "AVX2", 3: "AVX-512"}


def achar(r, funcao, **args):
    return r.get((funcao, tuple(sorted(args.items()))))


def ns_por_atualizacao(x):
    """A repetição mais rápida em tempo de processador da thread do benchmark, por atualização de ponto: com uma
    thread, o que outros processos nos mesmos processadores não inflam."""
    c = x["contadores"]
    if "min_cpu" in x and c.get("atualizacoes"):
        return x["min_cpu"] * 1e6 / c["atualizacoes"]
    return x["min"] / x["median"] * c["ns_atualizacao"]


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
              "variable / constant | variable bound, ns | variable / bound | variable, fast kernels, ns per update | "
              "fast / bound |", "|---|---|---|---|---|---|---|---|"]
    for i, nome in enumerate(SUAVIZADORES):
        c = achar(r, "BM_operador", n=2049, suavizador=i, forma=0)
        v = achar(r, "BM_operador", n=2049, suavizador=i, forma=1)
        if not c or not v:
            continue
        nc, nv = ns_por_atualizacao(c), ns_por_atualizacao(v)
        lim = v["contadores"]["limite_ns"]
        rapido = achar(r, "BM_operador", n=2049, suavizador=i, forma=2)
        nr = f"{ns_por_atualizacao(rapido):.3f} | {ns_por_atualizacao(rapido) / lim:.2f}x" if rapido else "— | —"
        linhas.append(f"| {nome} | {nc:.3f} | {nv:.3f} | {nv / nc:.2f}x | {lim:.3f} | {nv / lim:.2f}x | {nr} |")
    return linhas


def nove_rapidos(r):
    """(nome, ns por atualização / limite) dos suavizadores com núcleos rápidos para os estênceis de nove pontos."""
    linhas = []
    for forma, qual in ((2, "constant"), (3, "per-point")):
        for i, nome in enumerate(SUAVIZADORES):
            x = achar(r, "BM_nove", n=2049, suavizador=i, forma=forma)
            if x:
                linhas.append((f"{nome} {qual}", ns_por_atualizacao(x) / x["contadores"]["limite_ns"]))
    return linhas


def variaveis_rapidos(r):
    """(nome, ns por atualização / limite) dos suavizadores com núcleos rápidos para o operador variável."""
    linhas = []
    for i, nome in enumerate(SUAVIZADORES):
        x = achar(r, "BM_operador", n=2049, suavizador=i, forma=2)
        if x:
            linhas.append((nome, ns_por_atualizacao(x) / x["contadores"]["limite_ns"]))
    return linhas


NOVE = ("The nine-point stencils that `--coarse-operator galerkin` gives the coarse levels: level 1 of a two-level "
        "hierarchy (2049², under a 4097² level), its operator R A P built once outside the timing, the constant "
        "stencil stored once per level (constant coefficient) and the per-point stencil in nine grids (`--coefficient "
        "jump:1000`); field and right-hand side at random, one thread. Each smoother's two sweeps and one norm of "
        "the residual (`norma_nivel`), per point update (the fastest of 5 repetitions). The bound is each kernel's "
        "own traffic over the 1-thread bandwidth: u read and written and f read, 24 bytes per point update (the norm "
        "reads u and f: 16); the per-point stencil adds its nine coefficients, 72 bytes (96 and 88); jacobi adds 16 "
        "(it copies the level first). The line smoothers keep their recurrences in cache. Two columns set them "
        "against the five-point plain loops of the table above, constant and variable, in the same run. The last "
        "four are the stencils on the fast kernels where they have them (the same bits, "
        "tests/fast/teste_variaveis.cpp): gs-lex and gs-sym with eight rows in flight for the constant stencil, as "
        "with the variable five-point operator; gs-rb in vectors for both, the rows of a colour in order (the "
        "diagonal neighbours are of the same colour), both colours and sweeps in one walk as a wavefront of rows; "
        "jacobi in vectors, its sweeps in one walk as a wavefront of rows (each row computed into a pending row and "
        "written back one step later); line-x with up to four sweeps at once, each two lines behind the one before, "
        "their Thomas recurrences interleaved; line-y (and the y half of line-alt) in blocks of eight columns "
        "copied row by row into contiguous scratch (u, f and, for the per-point stencil, the nine coefficients of "
        "each point side by side), each column solved there in order and the block copied back, up to four sweeps "
        "at once, two blocks apart, their recurrences interleaved. The per-point stencil keeps the "
        "plain loops for gs-lex and gs-sym: its nine grids lie a multiple of 4 KiB plus 8 bytes apart, all in the "
        "same L1 sets, and with four rows in flight a gs-lex sweep took 1.5 times as long as the plain loop.")


def tabela_nove(r):
    """Os núcleos de nove pontos de Galerkin (estêncil constante e por ponto) por atualização e contra o limite."""
    linhas = ["| kernel (2049², 1 thread) | constant nine-point, ns per update | bound, ns | constant / bound | "
              "per-point nine-point, ns per update | bound, ns | per-point / bound | per-point / constant | "
              "constant nine / constant five | per-point nine / variable five | constant nine-point, fast kernels, "
              "ns per update | fast / bound | per-point nine-point, fast kernels, ns per update | fast / bound |",
              "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|"]
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
        rapidos = []
        for forma, lim in ((2, cc["limite_ns"]), (3, vc["limite_ns"])):
            x = achar(r, "BM_nove", n=2049, suavizador=i, forma=forma)
            rapidos.append(f"{ns_por_atualizacao(x):.3f} | {ns_por_atualizacao(x) / lim:.2f}x" if x else "— | —")
        linhas.append(f"| {nome} | {nc:.3f} | {cc['limite_ns']:.3f} | {nc / cc['limite_ns']:.2f}x | {nv:.3f} | "
                      f"{vc['limite_ns']:.3f} | {nv / vc['limite_ns']:.2f}x | {nv / nc:.2f}x | {razoes[0]} | "
                      f"{razoes[1]} | {rapidos[0]} | {rapidos[1]} |")
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
