# A seção dos pares em markdown: o problema e os critérios, a conferência do problema discreto, os tempos a 2049² e
# 4097² e a procura dos ajustes; gravada em bench/pares/pares.md (que bench/desempenho.py inclui) e, se pedido, no
# lugar da seção em doc/desempenho.md, entre as marcas.
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import desempenho  # noqa: E402  (a descrição da máquina)

INICIO, FIM = "<!-- pares: início -->", "<!-- pares: fim -->"
NOMES = {"placa": "placa", "hypre": "hypre", "PETSc": "PETSc"}


def segundos(s):
    return "—" if s is None else (f"{s * 1000:.3g} ms" if s < 0.1 else f"{s:.3g} s")


def celula(m):
    return "not reached" if not m else f"{m['k']} it, {segundos(m['s'])}"


def ajuste(r):
    if r["par"] == "placa":
        return "`" + (" ".join(r["chave"]) or "(no option: V(2,2), gs-lex, injection)") + "`"
    if r["par"] == "PETSc":
        return "`" + r["chave"].replace("-mg_levels_", "-mg_l_") + "`"
    return r.get("ajuste", " ".join(r["chave"]))


def resumo(r):
    """Uma linha de progresso."""
    if "falha" in r:
        return f"{r.get('chave')}: FAILED {r['falha']}"
    return (f"setup {segundos(r['preparo_s'])}, 1e-8 {celula(r.get('tolerancia_atingida'))}, "
            f"disc {celula(r.get('discretizacao_atingida'))}: {ajuste(r)}")


def linha_tempo(r, n_col=True):
    if "falha" in r:
        return f"| {r['n']}² | {NOMES[r['par']]} | {ajuste(r)} | failed: {r['falha'][:80]} | | | |"
    d = r.get("discretizacao_atingida")
    total = segundos(r["preparo_s"] + d["s"]) if d else "—"
    preparo = "none" if r["par"] == "placa" else segundos(r["preparo_s"])
    return (f"| {r['n']}² | {NOMES[r['par']]} | {ajuste(r)} | {preparo} | {celula(r.get('tolerancia_atingida'))} | "
            f"{celula(d)} | {total} |")


def secao(ctx, conferencia, busca, medidas):
    t = [INICIO, "## Peers: hypre's PFMG and PETSc's PCMG on the same problem", ""]
    v = ctx["versoes"]
    maquina = desempenho.maquina()[:2]
    carga = ctx["carga"]
    t.append(f"Generated on {ctx['data']} by `{ctx['comando']}` (which `bench/desempenho.py` runs with the placa "
             f"of its own build; alone, any Release build of placa will do); the script builds the peer programs (`bench/pares/par_hypre.cpp`, "
             f"`bench/pares/par_petsc.cpp`) into `build-pares/`. hypre {v['hypre']} and PETSc {v['PETSc']} from the "
             f"Debian packages (`sudo apt-get install libhypre-dev petsc-dev`; neither the tests nor CI need them), "
             f"Open MPI {v['Open MPI']}, one process and one thread each; {ctx['placa']} with `-j 1`. Machine: "
             + "; ".join(maquina) + f". System load average {carga[0]:.1f} at the start, {carga[1]:.1f} at the end"
             + (" (other processes were running: the times are noisy)." if max(carga) > 1.2 else "."))
    t.append("")
    t.append("**Problem.** placa's sinusoidal plate on N x N points, boundaries included: the listing's five-point "
             "equations, sin(πx) on the north side and 0 on the others, the interior starting at 0. hypre's struct "
             "matrix holds the unknowns only, with the listing's unscaled coefficients (ap = 2(ae + an), −ae, −an) "
             "and the boundary neighbours moved to the right-hand side. PETSc's DMDA holds all N x N points: the "
             "interior rows are the listing's equations multiplied by dx·dy (stencil 4, −1, −1, −1, −1, the scaling "
             "under which rediscretised coarse operators match the restriction by the transposed bilinear "
             "interpolation), the boundary rows 4T = 4g with their columns moved to the right-hand side, so the "
             "matrix is symmetric. Both have placa's discrete solution, as the check below shows.")
    t.append("")
    t.append(f"**Criteria**, the same for all and evaluated on the field each solver leaves. *To "
             f"{ctx['tolerancia']:g}*: the first iteration k with L1(R)k/L1(R)0 ≤ {ctx['tolerancia']:g}, the L1 norm "
             "of the listing's residuals (placa's own history; for the peers computed from their field by the "
             "listing's formula, which gives placa's L1(R)0 exactly). *To the discretisation error*: the first "
             f"iteration with max|T − U| ≤ {ctx['margem']:g} · max|U − u|, where U is the exact solution of the "
             "discrete equations (closed form: sin(πx) sinh(my)/sinh(m) with cosh(m·dy) = 2 − cos(π·dx), as placa's "
             "error split computes it) and u = sin(πx) sinh(πy)/sinh(π); the error max|T − u| is then within "
             f"{ctx['margem'] * 100:g}% of the discrete solution's. The error against u alone is no criterion: from a "
             "zero start it dips below max|U − u| by cancellation (PFMG at 129²: 0.94 of it with an algebraic error "
             "still 20% of it).")
    t.append("")
    t.append(f"**Timing.** The iteration counts are found first; each timed run then does exactly k iterations "
             "from the initial field with no stopping test and no norm beyond what the method itself computes "
             "(hypre: tolerance 0 and k as the maximum; PETSc: `KSP_NORM_NONE`, `KSPConvergedSkip`), the fastest "
             f"of {ctx['repeticoes']}. *Set-up* is the solver's own: PFMG's (coarse grids and operators), with PCG's "
             "around it; PETSc's `KSPSetUp` (hierarchy, coarse operators) and one preconditioner application, since "
             "Chebyshev estimates its eigenvalues at the first (this adds a V-cycle). The matrix assembly is not "
             "counted. placa has no set-up: its time is the wall time of the whole solve (`relogio_s` of "
             "`--summary`: allocation, initial field, FMG start, cycles), the fastest of the runs with `itmax` = k. "
             "The columns *to ...* show the solve alone; the last column adds the set-up.")
    t.append("")
    t.append("### Same discrete problem")
    t.append("")
    t.append("Each solver iterates to round-off (placa to `tolt` 1e-14 or 60 cycles, a peer to its smallest residual "
             "in 30 iterations). max|T − T_placa| is bounded by the two algebraic errors; *listing digits* is the "
             "largest |T − printed value| over the field that placa's listing prints (`escreve` = 1, 7 digits) in "
             "halves of the last digit: at most 1 means every printed digit agrees.")
    t.append("")
    t.append("| N² | solver | iterations | L1(R)k/L1(R)0 | max\\|T − U\\| | max\\|T − T_placa\\| ≤ | listing digits | "
             "L1(R)0 / placa's − 1 | max\\|U − u\\| / placa's − 1 |")
    t.append("|---|---|---|---|---|---|---|---|---|")
    for c in conferencia:
        p = c["placa"]
        t.append(f"| {c['n']}² | placa | {p['iteracoes']} | {p['razao']:.2e} | {p['erro_algebrico']:.2e} | — | — | — | — |")
        for q in c["pares"]:
            if "falha" in q:
                t.append(f"| {c['n']}² | {q['par']}: {q['ajuste']} | failed: {q['falha'][:80]} | | | | | | |")
                continue
            t.append(f"| {c['n']}² | {q['par']}: {q['ajuste']} | {q['iteracoes']} | {q['razao']:.2e} | "
                     f"{q['erro_algebrico']:.2e} | {q['limite_placa']:.2e} | {q['digitos']:.2f} | "
                     f"{q['l1_inicial'] / p['l1_inicial'] - 1:.1e} | "
                     f"{q['erro_discretizacao'] / p['erro_discretizacao'] - 1:.1e} |")
    t.append("")
    entre = [f"{a} against {b} at {c['n']}²: {d:.2e}" for c in conferencia for a, b, d in c["entre_pares"]]
    t.append("The peers against each other, max|T_hypre − T_PETSc|: " + "; ".join(entre) + ".")
    t.append("")
    t.append("### Time to the tolerance and to the discretisation error")
    t.append("")
    t.append(f"placa's classic run, `--fmg` with the classic components and the best placa of the search; each peer's "
             f"best settings of the search at {ctx['busca']}² (below), by set-up + solve to the discretisation "
             "error. One thread each.")
    t.append("")
    t.append(f"| N² | solver | settings | set-up | to {ctx['tolerancia']:g} | to the discretisation error | "
             "set-up + solve to the discretisation error |")
    t.append("|---|---|---|---|---|---|---|")
    t += [linha_tempo(r) for r in medidas]
    t.append("")
    t.append(f"### Settings search at {ctx['busca']}²")
    t.append("")
    n = ctx["total_ajustes"]
    t.append(f"One run of each, ranked by set-up + solve to the discretisation error; the first of each peer were "
             f"measured above. placa: {n['placa']} runs. hypre: {n['hypre']} settings, PFMG as the solver and as "
             "PCG's preconditioner, relaxation 1 (weighted Jacobi), 2 (red-black Gauss-Seidel, symmetric) or 3 "
             "(red-black, nonsymmetric), 1/1, 2/1 or 2/2 sweeps, skip 0 or 1, Galerkin coarse operators. PETSc: "
             f"{n['PETSc']} settings, CG + PCMG, smoother Chebyshev/Jacobi (2 steps), SSOR (1 or 2) or "
             "Chebyshev/SSOR (1), Galerkin or rediscretised coarse operators, levels down to 3 x 3 or to 17 x 17 "
             "(LU there). The five best of each peer:")
    t.append("")
    t.append(f"| N² | solver | settings | set-up | to {ctx['tolerancia']:g} | to the discretisation error | "
             "set-up + solve to the discretisation error |")
    t.append("|---|---|---|---|---|---|---|")
    for par in ("placa", "hypre", "PETSc"):
        t += [linha_tempo(r) for r in busca[par][: (len(busca[par]) if par == "placa" else 5)]]
    t.append(FIM)
    return "\n".join(t) + "\n"


def gravar(texto, fragmento, documento):
    with open(fragmento, "w") as f:
        f.write(texto)
    if not documento:
        return
    with open(documento) as f:
        atual = f.read()
    if INICIO in atual and FIM in atual:
        antes, resto = atual.split(INICIO, 1)
        novo = antes + texto.rstrip("\n") + resto.split(FIM, 1)[1]
    elif "\n## What limits the figures" in atual:
        antes, depois = atual.split("\n## What limits the figures", 1)
        novo = antes + "\n" + texto + "\n## What limits the figures" + depois
    else:
        novo = atual.rstrip("\n") + "\n\n" + texto
    with open(documento + ".novo", "w") as f:
        f.write(novo)
    os.replace(documento + ".novo", documento)
