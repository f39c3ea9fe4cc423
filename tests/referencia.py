#!/usr/bin/env python3
"""Implementação independente da mesma aritmética, em Python (floats IEEE, sem FMA).

Gera entradas aleatórias, roda o placa em cada uma e compara a listagem byte a byte com a
listagem calculada aqui, menos o cabeçalho, a linha da data e a linha do tempo de CPU.
Uso: referencia.py PLACA [N_CASOS] [SEMENTE]
"""
import math
import os
import random
import subprocess
import sys
import tempfile

PI = 3.141592653589793
RSH = 0.08658953753004696


def contornos(T, nx, ny, dx, dy, prob):
    for j in range(1, ny + 1):
        T[1 + (j - 1) * nx] = 0.0
        T[j * nx] = (j - 1) * dy if prob == 1 else 0.0
    if nx - 2 <= 0:
        return
    for i in range(2, nx):
        T[i] = 0.0
        T[(ny - 1) * nx + i] = (i - 1) * dx if prob == 1 else math.sin(((i - 1) * dx) * PI)


def exata(T, nx, ny, dx, dy, prob):
    for i in range(1, nx + 1):
        for j in range(1, ny + 1):
            x, y = (i - 1) * dx, (j - 1) * dy
            T[i + (j - 1) * nx] = y * x if prob == 1 else (math.sin(x * PI) * math.sinh(y * PI)) * RSH


def coef(nx, ny):
    dx, dy = 1.0 / (nx - 1), 1.0 / (ny - 1)
    ae, an = 1.0 / (dx * dx), 1.0 / (dy * dy)
    return dx, dy, ae, an, (an + ae) * 2.0


def gs(v, o, rhs, nx, ny, ae, an, ap, nitm):
    q = 1.0 / ap
    for _ in range(nitm):
        for j in range(2, ny):
            for i in range(2, nx):
                P = o + i + (j - 1) * nx
                s = an * (v[P - nx] + v[P + nx]) + ae * (v[P - 1] + v[P + 1])
                if rhs is not None:
                    s = s + rhs[P]
                v[P] = s * q


def norma(T, nx, ny, ae, an, ap):
    s = 0.0
    for j in range(2, ny):
        for i in range(2, nx):
            P = i + (j - 1) * nx
            s = s + abs((ap * T[P] - an * (T[P - nx] + T[P + nx])) - ae * (T[P - 1] + T[P + 1]))
    return s


def resolver(d):
    nm = d["nm"]
    nxg = [0] + [(d["nx1"] - 1) * 2 ** (k - 1) + 1 for k in range(1, nm + 1)]
    nyg = [0] + [(d["ny1"] - 1) * 2 ** (k - 1) + 1 for k in range(1, nm + 1)]
    ofs = [0, 0]
    for k in range(1, nm):
        ofs.append(ofs[k] + nxg[k] * nyg[k])
    nx, ny = nxg[nm], nyg[nm]
    T = [0.0] * (nx * ny + 1)
    cor = [0.0] * (ofs[nm] + 1)
    res = [0.0] * (ofs[nm] + 1)
    dx, dy, ae, an, ap = coef(nx, ny)
    if d["tipo_ci"] == 1:
        exata(T, nx, ny, dx, dy, d["problema"])
    contornos(T, nx, ny, dx, dy, d["problema"])
    hist = [norma(T, nx, ny, ae, an, ap)]
    nitm = d["nitm"]
    for it in range(1, d["itmax"] + 1):
        if nm == 1:
            gs(T, 0, None, nx, ny, ae, an, ap, nitm)
        else:
            for i in range(len(cor)):
                cor[i] = 0.0
            for k in range(nm, 0, -1):
                nxk, nyk = nxg[k], nyg[k]
                _, _, ae, an, ap = coef(nxk, nyk)
                if k == nm:
                    gs(T, 0, None, nxk, nyk, ae, an, ap, nitm)
                else:
                    gs(cor, ofs[k], res, nxk, nyk, ae, an, ap, nitm)
                if k > 1:
                    nxc, nyc = nxg[k - 1], nyg[k - 1]
                    for J in range(2, nyc):
                        for I in range(2, nxc):
                            P = (2 * I - 1) + (2 * J - 2) * nxk
                            dst = ofs[k - 1] + I + (J - 1) * nxc
                            if k == nm:
                                res[dst] = ae * (T[P - 1] + T[P + 1]) + an * (T[P - nxk] + T[P + nxk]) - ap * T[P]
                            else:
                                Q = ofs[k] + P
                                res[dst] = (res[Q] + ae * (cor[Q - 1] + cor[Q + 1])
                                            + an * (cor[Q - nxk] + cor[Q + nxk]) - ap * cor[Q])
            for k in range(2, nm + 1):
                nxk, nyk = nxg[k], nyg[k]
                _, _, ae, an, ap = coef(nxk, nyk)
                nxc = nxg[k - 1]
                dest, o = (T, 0) if k == nm else (cor, ofs[k])
                for j in range(2, nyk):
                    for i in range(2, nxk):
                        c = ofs[k - 1] + (i - 1) // 2 + 1 + ((j - 1) // 2) * nxc
                        if i % 2 and j % 2:
                            v = cor[c]
                        elif j % 2:
                            v = 0.5 * (cor[c] + cor[c + 1])
                        elif i % 2:
                            v = 0.5 * (cor[c] + cor[c + nxc])
                        else:
                            v = 0.25 * (cor[c] + cor[c + 1] + cor[c + nxc] + cor[c + nxc + 1])
                        dest[o + i + (j - 1) * nxk] += v
                if k == nm:
                    gs(T, 0, None, nxk, nyk, ae, an, ap, nitm)
                else:
                    gs(cor, ofs[k], res, nxk, nyk, ae, an, ap, nitm)
        hist.append(norma(T, nx, ny, ae, an, ap))
        r = hist[it] / hist[0] if hist[0] != 0 else (math.nan if hist[it] == 0 else math.inf)
        if d["tolt"] >= r:
            break
    return hist, T, nx, ny


def div(a, b):
    if b == 0.0:
        if a == 0.0 or math.isnan(a):
            return math.nan
        return math.copysign(math.inf, a) * math.copysign(1.0, b)
    return a / b


def cient(v, w, d):
    if math.isnan(v):
        return (" NaN" + " " * w)[:w]
    if math.isinf(v):
        return ((" -Infinity" if v < 0 else " Infinity") + " " * w)[:w]
    if v == 0.0:
        v = 0.0
    s = "%.*e" % (d, v)
    m, x = s.split("e")
    x = int(x)
    s = m + ("E%s%02d" % ("-" if x < 0 else "+", abs(x)) if abs(x) <= 99 else "%s%03d" % ("-" if x < 0 else "+", abs(x)))
    return "*" * w if len(s) > w else s.rjust(w)


def inteiro(v, w):
    s = str(v)
    return "*" * w if len(s) > w else s.rjust(w)


def listagem(d, hist, T, nx, ny):
    L = []
    nxf, nyf = nx, ny
    L.append("")
    L.append("título = " + d["titulo"].strip(" "))
    L.append("")
    L.append("     DADOS")
    L.append(d["caso"].strip(" ") + "   = caso: nome do experimento numérico")
    val = lambda v, r: L.append(inteiro(v, 11) + "    " + r)
    val(d["nm"], "   = nm: número de malhas")
    val(nxf, "   = nxg(nm): número de pontos na direção X (malha mais fina) com contornos")
    val(nyf, "   = nyg(nm): número de pontos na direção Y (malha mais fina) com contornos")
    val(nxf * nyf, "   = nxyg(nm): número total de pontos (malha mais fina) com contornos")
    val(nxf - 2, "   = nx: número de incógnitas na direção X")
    val(nyf - 2, "   = ny: número de incógnitas na direção Y")
    val((nxf - 2) * (nyf - 2), "   = nx*ny: número total de incógnitas")
    L.append(cient(d["tolt"], 17, 1) + " = tolt: tolerância do problema")
    val(d["itmax"], "   = itmax: número máximo de iterações externas (ciclos V)")
    val(d["nitm"], "   = nitm: número máximo de iterações internas (Gauss-Seidel) lexicográfico")
    val(d["problema"], "   = problema: 1=c.c.linear; 2=c.c.senoidal")
    val(d["tipo_ci"], "   = tipo_ci: tipo da condição inicial: 0=nula; 1=solução analítica; 2=reinício")
    val(d["escreve"], "   = escreve: 1=escreve campo T; 0=não")
    val(d["freq"], "   = freq: freqüência de escrita dos resíduos e variáveis nas iterações")
    L.append("")
    L.append(cient(hist[0], 15, 6) + " = norma L1 dos resíduos (R) com base na estimativa inicial [L1(R)o]")
    L.append("")
    L.append("  Iteração   L1(R)i/L1(R)o  q              qmed")
    L.append("  " + inteiro(0, 8) + cient(1.0, 15, 6))
    for it in range(1, len(hist)):
        r = div(hist[it], hist[0])
        q = div(hist[it], hist[it - 1])
        try:
            qm = math.pow(r, 1.0 / it)
        except (OverflowError, ValueError):
            qm = math.nan
        L.append("  " + inteiro(it, 8) + cient(r, 15, 6) + cient(q, 15, 6) + cient(qm, 15, 6))
    if d["escreve"] == 1:
        L += ["", "", " " * 30 + "TEMPERATURAS"]
        for b in range((nx + 7) // 8):
            L.append("")
            L.append("  parte " + inteiro(b + 1, 3))
            for j in range(1, ny + 1):
                L.append("".join(cient(T[i + (j - 1) * nx], 15, 6) for i in range(8 * b + 1, min(8 * b + 8, nx) + 1)))
    L.append("")
    return L


def caso_aleatorio(rnd, n):
    nm = rnd.choice([1, 1, 2, 3, 4, 5])
    lim = {1: 40, 2: 20, 3: 10, 4: 6, 5: 4}[nm]
    d = dict(caso="caso%d.lst" % n, nm=nm, nx1=rnd.randint(2, lim), ny1=rnd.randint(2, lim),
             tolt=rnd.choice([0.0, 1e-3, 1e-6, 1e-10, -1.0, 0.5, 2.0]), itmax=rnd.randint(0, 12),
             nitm=rnd.choice([-1, 0, 1, 1, 2, 3]), problema=rnd.choice([1, 2, 2, 0, 7]),
             tipo_ci=rnd.choice([0, 0, 1, 2]), escreve=rnd.choice([0, 1, 1, 2]), freq=rnd.randint(-2, 9),
             titulo=rnd.choice(["Placa", "  Placa quadrada  ", "Condução com acentos é ótimo", ""]))
    return d


def escrever_entrada(d, crlf):
    fim = "\r\n" if crlf else "\n"
    linhas = ["'%s'   caso" % d["caso"], "%d  nm" % d["nm"], "%d" % d["nx1"], "%d  nyg(1)" % d["ny1"],
              repr(d["tolt"]).replace("e", "d"), "%d" % d["itmax"], "%d" % d["nitm"], "%d" % d["problema"],
              "%d" % d["tipo_ci"], "%d" % d["escreve"], "%d" % d["freq"], "'%s'" % d["titulo"].replace("'", "''")]
    return (fim.join(linhas) + fim).encode("latin-1")


def main():
    placa = os.path.abspath(sys.argv[1])
    n = int(sys.argv[2]) if len(sys.argv) > 2 else 60
    rnd = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 20261208)
    falhas = 0
    with tempfile.TemporaryDirectory() as dir_:
        amb = {k: v for k, v in os.environ.items() if k not in ("EDITOR", "VISUAL")}
        for c in range(n):
            d = caso_aleatorio(rnd, c)
            with open(os.path.join(dir_, "tervano3.ent"), "wb") as f:
                f.write(escrever_entrada(d, c % 2 == 1))
            r = subprocess.run([placa], cwd=dir_, env=amb, stdin=subprocess.DEVNULL, capture_output=True)
            if r.returncode != 0:
                print("caso %d: código %d: %s" % (c, r.returncode, r.stderr.decode()))
                falhas += 1
                continue
            with open(os.path.join(dir_, d["caso"]), "rb") as f:
                obtida = f.read().decode("latin-1").split("\r\n")
            hist, T, nx, ny = resolver(d)
            esperada = listagem(d, hist, T, nx, ny)
            # linhas 1-4: vazia, cabeçalho, vazia, data; a penúltima é o tempo de CPU
            corpo = obtida[4:-2]
            if corpo != esperada or obtida[-1] != "" or not obtida[-2].endswith(" = tempo de CPU (segundos)"):
                falhas += 1
                print("caso %d difere: %r" % (c, d))
                for i, (a, b) in enumerate(zip(corpo, esperada)):
                    if a != b:
                        print("  linha %d\n  placa:      %r\n  referência: %r" % (i + 5, a, b))
                        break
                else:
                    print("  número de linhas: %d x %d" % (len(corpo), len(esperada)))
    print("%d casos, %d diferenças" % (n, falhas))
    return 1 if falhas else 0


if __name__ == "__main__":
    sys.exit(main())
