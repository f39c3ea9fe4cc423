# Os pares resolvem o mesmo problema discreto que a placa? Em malhas pequenas, cada par e a placa iteram até o
# arredondamento; compara-se cada campo com a solução exata das equações discretas U (a mesma fórmula fechada que a
# placa usa no seu erro algébrico), os pares entre si ponto a ponto, e cada par com os 7 algarismos do campo que a
# listagem da placa imprime (escreve = 1). Como |T_par - T_placa| <= |T_par - U| + |T_placa - U| em cada ponto, os
# dois erros algébricos no arredondamento dizem que os campos diferem só no arredondamento.
import array
import os
import re

import rodadas

AJUSTES = [
    ("hypre", "PFMG (its defaults: weighted Jacobi, 1/1)", ["metodo=pfmg", "relax=1", "pre=1", "pos=1", "skip=0", "rap=0"]),
    ("hypre", "PCG + PFMG (RB-GS, 1/1, skip)", ["metodo=pcg", "relax=2", "pre=1", "pos=1", "skip=1", "rap=0"]),
    ("PETSc", "CG + PCMG, Galerkin coarse operators", "-pc_mg_galerkin both"),
    ("PETSc", "CG + PCMG, rediscretised coarse operators", "-pc_mg_galerkin none"),
]


def campo_da_listagem(texto, n):
    """Os valores impressos sob TEMPERATURAS: blocos de 8 colunas, linhas j = 1 .. n; devolve [(valor, texto)]."""
    linhas = texto.splitlines()
    inicio = next(i for i, l in enumerate(linhas) if l.strip() == "TEMPERATURAS")
    campo = [None] * (n * n)
    i = inicio
    while i < len(linhas):
        m = re.match(r"^\s+parte\s+(\d+)$", linhas[i])
        if not m:
            i += 1
            continue
        bloco = int(m.group(1))
        for j in range(n):
            valores = linhas[i + 1 + j].split()
            for c, v in enumerate(valores):
                campo[8 * (bloco - 1) + c + j * n] = v
        i += 1 + n
    if any(v is None for v in campo):
        raise SystemExit("pares: the listing's field is incomplete")
    return campo


def meia_unidade(v):
    """Meia unidade do último algarismo de um número escrito como d.ddddddE±xx."""
    return 0.5 * 10.0 ** (int(v.split("E")[1]) - 6)


def ler_campo(arquivo):
    a = array.array("d")
    with open(arquivo, "rb") as f:
        a.frombytes(f.read())
    return a


def conferir(programas, pl, n, pasta):
    s, h, texto = pl.rodar(n, [], {"tolt": "1e-14", "itmax": 60, "escreve": 1}, csv_erros=True, listagem=True)
    listagem = campo_da_listagem(texto, n)
    r = {"n": n, "placa": {"erro_algebrico": float(s["erro_algebrico_max"]), "iteracoes": int(s["niter"]),
                           "razao": float(s["razao_final"]), "erro_discretizacao": float(s["erro_discretizacao_max"]),
                           "l1_inicial": float(h[0]["L1(R)"])}, "pares": []}
    campos = []
    for par, nome, ajuste in AJUSTES:
        arquivo = os.path.join(pasta, f"campo-{par}-{n}.bin")
        args = [f"n={n}", f"campo={arquivo}", "kv=30"]
        if par == "hypre":
            j = rodadas.rodar_par(programas["par_hypre"], args + ajuste)
        else:
            j = rodadas.rodar_par(programas["par_petsc"], args + [f"opcoes=-pc_mg_levels {rodadas.niveis(n)} {ajuste}"])
        if "falha" in j:
            r["pares"].append({"par": par, "ajuste": nome, "falha": j["falha"]})
            continue
        t = ler_campo(arquivo)
        os.unlink(arquivo)
        campos.append((par, nome, t))
        digitos = max(abs(t[q] - float(v)) / meia_unidade(v) for q, v in enumerate(listagem))
        v = j["verificacao"]
        r["pares"].append({
            "par": par, "ajuste": nome, "iteracoes": v["k"], "razao": v["razao"], "erro_algebrico": v["erro_algebrico"],
            "limite_placa": v["erro_algebrico"] + r["placa"]["erro_algebrico"], "digitos": digitos,
            "erro_discretizacao": j["erro_discretizacao"], "l1_inicial": j["l1_inicial"]})
    # os pares entre si, ponto a ponto: hypre contra PETSc
    r["entre_pares"] = []
    for a in (c for c in campos if c[0] == "hypre"):
        for b in (c for c in campos if c[0] == "PETSc"):
            r["entre_pares"].append((a[1], b[1], max(abs(x - y) for x, y in zip(a[2], b[2]))))
    return r
