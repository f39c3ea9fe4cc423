#!/usr/bin/env python3
# Os pares ao lado da placa: o PFMG do hypre (solucionador e precondicionador do PCG) e o CG + PCMG do PETSc,
# compilados contra os pacotes Debian, na mesma placa senoidal. Confere que resolvem o mesmo problema discreto
# (65² e 129²), procura o melhor ajuste de cada par numa malha média, mede o tempo até 1e-8 e até o erro de
# discretização a 2049² e 4097², a placa clássica e a melhor ao lado, e escreve a tabela (bench/pares/pares.md e,
# se dado, a seção dela em doc/desempenho.md).
#
#   python3 bench/pares/pares.py build-programa/placa doc/desempenho.md
import argparse
import datetime
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import relatorio  # noqa: E402
import rodadas  # noqa: E402
import verificacao  # noqa: E402

# PFMG: relaxação, varreduras antes/depois e skip, como solucionador e como precondicionador do PCG (36 ajustes).
AJUSTES_HYPRE = [["metodo=" + m, f"relax={r}", f"pre={a}", f"pos={b}", f"skip={s}", "rap=0"]
                 for m in ("pfmg", "pcg") for r in (1, 2, 3) for a, b in ((1, 1), (2, 1), (2, 2)) for s in (0, 1)]
# PCMG: suavizador, níveis (até 3 x 3, ou até 17 x 17 com LU) e operadores grossos de Galerkin ou rediscretizados.
SUAVIZADORES_PETSC = [
    "-mg_levels_ksp_type chebyshev -mg_levels_pc_type jacobi -mg_levels_ksp_max_it 2",
    "-mg_levels_ksp_type richardson -mg_levels_pc_type sor -mg_levels_ksp_max_it 1",
    "-mg_levels_ksp_type richardson -mg_levels_pc_type sor -mg_levels_ksp_max_it 2",
    "-mg_levels_ksp_type chebyshev -mg_levels_pc_type sor -mg_levels_ksp_max_it 1",
]


def ajustes_petsc(n):
    todos = rodadas.niveis(n)
    return [f"-pc_mg_levels {niveis} -pc_mg_galerkin {g} {s}"
            for s in SUAVIZADORES_PETSC for g in ("both", "none") for niveis in (todos, todos - 3)]


def petsc_em(opcoes, de, para):
    """O mesmo ajuste do PETSc noutro tamanho: os níveis contados a partir do mais grosso (3 x 3 ou 17 x 17)."""
    partes = opcoes.split()
    i = partes.index("-pc_mg_levels") + 1
    partes[i] = str(int(partes[i]) + rodadas.niveis(para) - rodadas.niveis(de))
    return " ".join(partes)


# A placa: a clássica, --fmg com os componentes clássicos e variações de --fmg.
AJUSTES_PLACA = [[], ["--fmg"], ["--fmg", "--pre", "1", "--post", "1"], ["--fmg", "--pre", "2", "--post", "1"],
                 ["--fmg", "--restriction", "full"], ["--fmg", "--cycle", "F"]]


def total_disc(r):
    d = r.get("discretizacao_atingida")
    return float("inf") if not d else r["preparo_s"] + d["s"]


def medir_par(programas, par, ajuste, n, a, dicas, repeticoes):
    args = [f"n={n}", f"margem={a.margem}", f"tolerancia={a.tolerancia}", f"repeticoes={repeticoes}",
            f"dica_tol={dicas[0]}", f"dica_disc={dicas[1]}"]
    if par == "hypre":
        r = rodadas.rodar_par(programas["par_hypre"], args + ajuste)
    else:
        r = rodadas.rodar_par(programas["par_petsc"], args + ["opcoes=" + ajuste])
    r.setdefault("par", par)
    r.setdefault("n", n)
    r["chave"] = ajuste
    print(f"  {par:6} {n}² {relatorio.resumo(r)}", file=sys.stderr, flush=True)
    return r


def dicas_de(r, padrao=(5, 6)):
    a, d = r.get("tolerancia_atingida"), r.get("discretizacao_atingida")
    return (a["k"] if a else padrao[0], d["k"] + 1 if d else padrao[1])


def main():
    p = argparse.ArgumentParser(description="Time hypre's PFMG and PETSc's PCMG beside placa on the sinusoidal plate.")
    p.add_argument("placa", help="the placa program (a Release build)")
    p.add_argument("documento", nargs="?", help="doc/desempenho.md: its peers section is replaced")
    p.add_argument("--pasta", default="build-pares", help="where the peer programs are built (default build-pares)")
    p.add_argument("--busca", type=int, default=1025, help="grid of the settings search (default 1025)")
    p.add_argument("--tamanhos", default="2049,4097", help="grids of the table (default 2049,4097)")
    p.add_argument("--melhores", type=int, default=2, help="settings of each peer measured on those grids (default 2)")
    p.add_argument("--repeticoes", type=int, default=3, help="timed repetitions, the fastest counts (default 3)")
    p.add_argument("--margem", type=float, default=0.01, help="algebraic error / discretisation error (default 0.01)")
    p.add_argument("--tolerancia", type=float, default=1e-8, help="L1 residual reduction (default 1e-8)")
    a = p.parse_args()
    falta = rodadas.falta_dependencia()
    if falta:
        sys.exit(f"pares: {falta} is missing; install the peers with: sudo apt-get install {rodadas.PACOTES}")
    comando = "python3 bench/pares/pares.py " + " ".join(sys.argv[1:])
    carga_antes = os.getloadavg()[0]
    programas = rodadas.construir(a.pasta)
    pl = rodadas.placa(a.placa)
    try:
        print("checking that the peers solve placa's discrete problem", file=sys.stderr, flush=True)
        conferencia = [verificacao.conferir(programas, pl, n, a.pasta) for n in (65, 129)]

        print(f"settings search at {a.busca}²", file=sys.stderr, flush=True)
        busca = {"placa": [], "hypre": [], "PETSc": []}
        dicas = {}
        for o in AJUSTES_PLACA:
            r = pl.medir(a.busca, o, a.margem, a.tolerancia, 1)
            busca["placa"].append(r)
            print(f"  placa  {a.busca}² {relatorio.resumo(r)}", file=sys.stderr, flush=True)
        for par, lista in (("hypre", AJUSTES_HYPRE), ("PETSc", ajustes_petsc(a.busca))):
            anterior = {}
            for ajuste in lista:
                metodo = ajuste[0] if par == "hypre" else par
                r = medir_par(programas, par, ajuste, a.busca, a, anterior.get(metodo, (5, 6)), 1)
                anterior[metodo] = dicas_de(r)
                busca[par].append(r)
        for par in busca:
            busca[par].sort(key=total_disc)

        medidas = []
        escolhidos = {par: [r for r in busca[par] if "falha" not in r][:a.melhores] for par in ("hypre", "PETSc")}
        melhor_placa = busca["placa"][0]["chave"]
        placas = [[], ["--fmg"]] + ([melhor_placa] if melhor_placa not in ([], ["--fmg"]) else [])
        for n in (int(x) for x in a.tamanhos.split(",") if x):
            print(f"measuring at {n}²", file=sys.stderr, flush=True)
            for o in placas:
                r = pl.medir(n, o, a.margem, a.tolerancia, a.repeticoes)
                print(f"  placa  {n}² {relatorio.resumo(r)}", file=sys.stderr, flush=True)
                medidas.append(r)
            for par, lista in escolhidos.items():
                for anterior in lista:
                    chave = anterior["chave"] if par == "hypre" else petsc_em(anterior["chave"], anterior["n"], n)
                    r = medir_par(programas, par, chave, n, a, dicas_de(anterior), a.repeticoes)
                    r["chave_busca"] = anterior["chave"]
                    medidas.append(r)
                    anterior = r
    finally:
        pl.fechar()
    contexto = {
        "data": datetime.date.today().isoformat(), "comando": comando, "carga": (carga_antes, os.getloadavg()[0]),
        "versoes": {"hypre": rodadas.versao_pacote("libhypre-dev"), "PETSc": rodadas.versao_pacote("petsc-dev"),
                    "Open MPI": rodadas.versao_pacote("libopenmpi-dev")},
        "placa": pl.versao(), "busca": a.busca, "margem": a.margem, "tolerancia": a.tolerancia,
        "repeticoes": a.repeticoes, "total_ajustes": {par: len(v) for par, v in busca.items()},
    }
    texto = relatorio.secao(contexto, conferencia, busca, medidas)
    relatorio.gravar(texto, os.path.join(rodadas.AQUI, "pares.md"), a.documento)
    print(texto)


if __name__ == "__main__":
    main()
