#!/usr/bin/env python3
"""Implementação independente da mesma aritmética, em Python (floats IEEE, sem FMA).

Gera entradas aleatórias e componentes do método (ciclo, fmg, varreduras, nível 1, suavizador, omega,
restrição, início), roda o placa com eles como opções e compara a listagem byte a byte com a listagem
calculada aqui, menos o cabeçalho, a linha da data e a linha do tempo de CPU (com --coarsest solve, os
números com a tolerância descrita em comparar_tolerante).
Uso: referencia.py PLACA [N_CASOS] [SEMENTE]
     referencia.py --autoteste      (verificações do próprio modelo, sem o placa)
"""
import collections
import ctypes
import functools
import math
import os
import random
import struct
import subprocess
import sys
import tempfile
import time
from decimal import Decimal
from fractions import Fraction

import referencia_galerkin as galerkin_ref
import referencia_krylov as krylov_ref
import referencia_robusta as robusta

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


def coef(nx, ny, eps=1.0):
    """Seção 2.1: ae = eps * (1.0/(dx*dx)) (com eps = 1.0 o produto é exato)."""
    dx, dy = 1.0 / (nx - 1), 1.0 / (ny - 1)
    ae, an = eps * (1.0 / (dx * dx)), 1.0 / (dy * dy)
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
        if d["tolt"] >= r or divergiu(hist[0], hist[it]):
            break
    return hist, T, nx, ny


def divergiu(h0, h):
    """O teste de divergência (metodo.md 7.3): a norma não é finita, ou h0 > 0 e h/h0 > 1e6."""
    return not math.isfinite(h) or (h0 > 0.0 and h / h0 > 1e6)


def ajustar(h, p):
    """Reta de ln h(p..último) contra it antes do piso (metodo.md 10); (q, último) ou (None, último)."""
    n = len(h) - 1
    p = max(p, 0)
    u = -1
    while u + 1 <= n and math.isfinite(h[u + 1]) and h[u + 1] > 0.0:
        u += 1
    ultimo = u
    if u > p:
        maximo = max(h[:p + 1]) if p <= u else 0.0
        for s in range(p + 1, u + 1):
            maximo = max(maximo, h[s - 1])
            if s - 1 < p + 1:
                continue
            fim = min(s + 2, u)
            a = sum(math.log(h[i] / h[i - 1]) for i in range(s, fim + 1)) / (fim - s + 1)
            b = sum(math.log(h[i] / h[i - 1]) for i in range(p + 1, s)) / (s - 1 - p)
            sobe = any(h[i] >= h[i - 1] for i in range(s, u + 1))  # no piso a norma sobe e desce
            if a >= math.log(0.8) and a >= 0.5 * b and h[s - 1] <= 1e-6 * maximo and sobe:
                v = sorted(h[s:u + 1])
                f = v[len(v) // 2] if len(v) % 2 else 0.5 * (v[len(v) // 2 - 1] + v[len(v) // 2])
                ultimo = s - 1
                while ultimo >= p and not (h[ultimo] >= 10.0 * f):
                    ultimo -= 1
                break
    pontos = ultimo - p + 1
    if pontos < 3:
        return None, ultimo
    xm = 0.5 * (p + ultimo)
    ym = sum(math.log(h[i]) for i in range(p, ultimo + 1)) / pontos
    sxx = sum((i - xm) * (i - xm) for i in range(p, ultimo + 1))
    sxy = sum((i - xm) * (math.log(h[i]) - ym) for i in range(p, ultimo + 1))
    return math.exp(sxy / sxx), ultimo


def fator_assintotico(h):
    """q_assintotico: o ajuste a partir do ciclo 2, refeito da metade dos ciclos antes do piso."""
    q, ultimo = ajustar(h, 2)
    de = max(2, ultimo // 2)
    if de == 2:
        return q
    return ajustar(h[:ultimo + 1], de)[0]


def vereditos(d, hist):
    """O veredito (metodo.md 7.4) da história; dois quando o fator ajustado fica a 1e-9 de 0,95."""
    n = len(hist) - 1
    if n >= 1:
        r = hist[n] / hist[0] if hist[0] != 0 else (math.nan if hist[n] == 0 else math.inf)
        if divergiu(hist[0], hist[n]):
            return ("divergiu",) if not d["tolt"] >= r else ("convergiu",)
        if d["tolt"] >= r:
            return ("convergiu",)
    if hist[0] == 0.0 and hist[n] == 0.0:
        return ("convergiu",)
    q = fator_assintotico(hist)
    if q is not None and abs(q - 0.95) < 1e-9:
        return ("estagnou", "parou")
    return ("estagnou",) if q is not None and q >= 0.95 else ("parou",)


def linha_veredito(v):
    return v.ljust(15) + "   = veredito: convergiu, parou, estagnou ou divergiu"


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


# ---------------------------------------------------------------------------------------------------------------
# Laboratório de multigrid: o método com componentes escolhidos (escrito a partir da descrição do método).
# Níveis k = 1 (grosso) .. nm (fino); o nível nm é T, os demais são cor/res empacotados (ofs(k)).

SUAVIZADORES = ("gs-lex", "gs-rb", "jacobi", "gs-sym", "line-x", "line-y", "line-alt")
PONTUAIS = ("gs-lex", "gs-rb", "gs-sym", "jacobi")
RESTRICOES = ("injection", "half", "full")
M64 = (1 << 64) - 1


def efetivo(m, nitm, problema=2):
    """Componentes efetivos a partir das opções dadas (dict; chave ausente = padrão); `problema` o da entrada.
    O problema: coeficiente ("constant",) | ("jump", C) | ("checker", C, M) | ("layers", C, M) | ("random", C, SEED);
    problema ("linear",) | ("sinusoidal",) | ("sin", KX, KY) | ("constant", F)."""
    suav = m.get("suavizador", "gs-lex")
    omega = m.get("omega", 0.8 if suav == "jacobi" else 1.0) if suav in PONTUAIS else None
    inicio = m.get("inicio", False)   # False: tipo_ci; None: aleatório sem semente; int: semente
    entrada = ("linear",) if problema == 1 else ("sinusoidal",)
    prob = m.get("problema", entrada)
    coefd = m.get("coeficiente", ("constant",))
    return dict(ciclo=m.get("ciclo", "V"), fmg=m.get("fmg", False), pre=m.get("pre", nitm), pos=m.get("pos", nitm),
                grosso=m.get("grosso", nitm), suavizador=suav, omega=omega, restricao=m.get("restricao", "injection"),
                semente=None if inicio is False else (1 if inicio is None else inicio),
                eps=m.get("eps", 1.0), coeficiente=coefd, problema=prob, da_entrada=prob == entrada,
                variavel=coefd[0] != "constant" and coefd[1] != 1.0,
                operador_grosso=m.get("operador_grosso", "rediscretize"),
                interpolacao=m.get("interpolacao", "bilinear"), engrossamento=m.get("engrossamento", "full"),
                krylov=texto_krylov(m.get("krylov", "none")), ordem=m.get("ordem", "same"))


def texto_krylov(k):
    """Seção 13: o valor canônico de --krylov (gmres sem M é gmres:30)."""
    return "gmres:30" if k == "gmres" else k


def robusto(e):
    """Seção 12: algum dos componentes da correção grossa que não é o de sempre (nm >= 2)."""
    return (e["operador_grosso"] != "rediscretize" or e["interpolacao"] != "bilinear"
            or e["engrossamento"] != "full")


def tem_exata(e):
    """Seção 3: solução exata só com o operador constante e uma fonte que não é constant:F."""
    return not e["variavel"] and e["problema"][0] != "constant"


def padrao(e, nm, nitm):
    """O método efetivo é o clássico? (nm = 1: só suavizador, omega, início e o problema contam)"""
    base = (e["suavizador"] == "gs-lex" and e["omega"] == 1.0 and e["semente"] is None and e["eps"] == 1.0
            and e["coeficiente"][0] == "constant" and e["da_entrada"] and e["krylov"] == "none")
    if nm == 1:
        return base
    return (base and e["ciclo"] == "V" and not e["fmg"] and e["pre"] == nitm and e["pos"] == nitm
            and e["grosso"] == nitm and e["restricao"] == "injection" and not robusto(e) and e["ordem"] == "same")


class Gerador:
    """splitmix64, aritmética sem sinal de 64 bits módulo 2^64."""

    def __init__(self, semente):
        self.s = semente & M64

    def inteiro(self):
        self.s = (self.s + 0x9E3779B97F4A7C15) & M64
        z = self.s
        z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & M64
        z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & M64
        return z ^ (z >> 31)

    def valor(self):
        # uniforme em [-1, 1)
        return (float(self.inteiro() >> 11) * 2.0 ** -53) * 2.0 - 1.0


class Nivel:
    """Uma função de malha de um nível: u (T ou cor) com deslocamento o e lado direito rhs (None em T sem fonte);
    o operador da seção 2: constante (ae com eps) ou, com kappa (as células do nível, a partir de 1), variável, com
    ax, ay, apv por ponto local (seção 2.3)."""
    __slots__ = ("u", "o", "rhs", "nx", "ny", "dx", "dy", "ae", "an", "ap", "pts", "var", "ax", "ay", "apv", "eps",
                 "c9", "pesos")

    def __init__(self, u, o, rhs, nx, ny, eps=1.0, kappa=None):
        self.u, self.o, self.rhs, self.nx, self.ny, self.eps = u, o, rhs, nx, ny, eps
        self.dx, self.dy, self.ae, self.an, self.ap = coef(nx, ny, eps)
        # índices (com deslocamento) dos pontos interiores, j externo, i interno
        self.pts = [o + i + (j - 1) * nx for j in range(2, ny) for i in range(2, nx)]
        self.var = kappa is not None
        self.c9 = None      # seção 12.2: o operador de Galerkin (tupla constante ou nove listas por ponto)
        self.pesos = None   # seção 12.3: os pesos da interpolação do nível de baixo para este (None: bilinear)
        if self.var:
            self.ax, self.ay, self.apv = operador_variavel(kappa, nx, ny, self.ae, self.an)

    def interiores(self):
        return self.pts

    def vazio(self):
        return self.nx <= 2 or self.ny <= 2


def operador_variavel(kappa, nx, ny, ae, an):
    """Seção 2.3: coeficientes de aresta (média das duas células que a compartilham) e a diagonal."""
    c = nx - 1
    k = lambda I, J: kappa[I + (J - 1) * c]
    n = nx * ny + 1
    ax, ay, apv = [0.0] * n, [0.0] * n, [0.0] * n
    for j in range(2, ny):
        for i in range(2, nx + 1):
            ax[i + (j - 1) * nx] = ae * ((k(i - 1, j - 1) + k(i - 1, j)) * 0.5)
    for j in range(2, ny + 1):
        for i in range(2, nx):
            ay[i + (j - 1) * nx] = an * ((k(i - 1, j - 1) + k(i, j - 1)) * 0.5)
    for j in range(2, ny):
        for i in range(2, nx):
            P = i + (j - 1) * nx
            apv[P] = (ax[P] + ax[P + 1]) + (ay[P] + ay[P + nx])
    return ax, ay, apv


def campo_kappa(cf, nx, ny):
    """Seção 2.2: kappa por célula do nível mais fino (nx x ny pontos), índices a partir de 1."""
    n1, m1 = nx - 1, ny - 1
    kap = [0.0] * (n1 * m1 + 1)
    if cf[0] == "random":
        g, l = Gerador(cf[2]), math.log(cf[1])
        for J in range(1, m1 + 1):
            for I in range(1, n1 + 1):
                kap[I + (J - 1) * n1] = math.exp(g.valor() * l)
        return kap
    for J in range(1, m1 + 1):
        for I in range(1, n1 + 1):
            if cf[0] == "jump":
                dentro = n1 < 4 * I - 2 < 3 * n1 and m1 < 4 * J - 2 < 3 * m1
                v = cf[1] if dentro else 1.0
            elif cf[0] == "checker":
                bx, by = ((2 * I - 1) * cf[2]) // (2 * n1), ((2 * J - 1) * cf[2]) // (2 * m1)
                v = cf[1] if (bx + by) % 2 == 1 else 1.0
            else:
                v = cf[1] if (((2 * J - 1) * cf[2]) // (2 * m1)) % 2 == 1 else 1.0
            kap[I + (J - 1) * n1] = v
    return kap


def media_celulas(kap, nx, ny):
    """Seção 2.2: o campo de um nível (nx x ny pontos) levado às células do nível abaixo."""
    cf, cx, cy = nx - 1, (nx - 1) // 2, (ny - 1) // 2
    k = lambda I, J: kap[I + (J - 1) * cf]
    g = [0.0] * (cx * cy + 1)
    for J in range(1, cy + 1):
        for I in range(1, cx + 1):
            g[I + (J - 1) * cx] = ((k(2 * I - 1, 2 * J - 1) + k(2 * I, 2 * J - 1))
                                   + (k(2 * I - 1, 2 * J) + k(2 * I, 2 * J))) * 0.25
    return g


def contornos_nivel(nv, prob):
    """Os valores de Dirichlet do problema no contorno do nível (contornos com nx, ny, dx, dy do nível); prob é o
    inteiro da entrada (1 = linear) ou a tupla do problema efetivo."""
    if isinstance(prob, tuple):
        nome = prob[0]
    else:
        nome = "linear" if prob == 1 else "sinusoidal"
    lin = nome == "linear"
    u, o, nx, ny, dx, dy = nv.u, nv.o, nv.nx, nv.ny, nv.dx, nv.dy
    for j in range(1, ny + 1):
        u[o + 1 + (j - 1) * nx] = 0.0
        u[o + j * nx] = (j - 1) * dy if lin else 0.0
    if nx - 2 <= 0:
        return
    for i in range(2, nx):
        u[o + i] = 0.0
        x = (i - 1) * dx
        u[o + (ny - 1) * nx + i] = x if lin else (math.sin(x * PI) if nome == "sinusoidal" else 0.0)


def exata_em(prob, eps, x, y):
    """Seção 3: a solução exata do problema efetivo (operador constante) no ponto (x, y)."""
    if prob[0] == "linear":
        return y * x
    if prob[0] == "sinusoidal":
        if eps == 1.0:
            return (math.sin(x * PI) * math.sinh(y * PI)) * RSH
        m = PI * math.sqrt(eps)
        return math.sin(x * PI) * (math.exp(m * (y - 1.0)) * (math.expm1((-2.0 * m) * y) / math.expm1(-2.0 * m)))
    kx, ky = prob[1] * PI, prob[2] * PI
    return math.sin(kx * x) * math.sin(ky * y)


def fonte_do_problema(prob, eps, nx, ny):
    """Seção 3: o termo fonte do nível mais fino (None sem fonte)."""
    if prob[0] not in ("sin", "constant"):
        return None
    dx, dy = 1.0 / (nx - 1), 1.0 / (ny - 1)
    f = [0.0] * (nx * ny + 1)
    if prob[0] == "sin":
        kx, ky = prob[1] * PI, prob[2] * PI
        c = eps * (kx * kx) + ky * ky
    for j in range(2, ny):
        for i in range(2, nx):
            x, y = (i - 1) * dx, (j - 1) * dy
            f[i + (j - 1) * nx] = prob[1] if prob[0] == "constant" else c * (math.sin(kx * x) * math.sin(ky * y))
    return f


def zerar_nivel(u, nv):
    for P in range(nv.o + 1, nv.o + nv.nx * nv.ny + 1):
        u[P] = 0.0


# --- suavizadores: uma varredura cada ---------------------------------------------------------------------------

def valor_ponto(nv, a, P):
    """Seção 4.1: o valor de Gauss-Seidel em P a partir do arranjo a (u, ou a cópia no Jacobi)."""
    nx, rhs = nv.nx, nv.rhs
    if nv.c9 is not None:
        return robusta.valor_nove(nv, a, P)
    if nv.var:
        p = P - nv.o
        y = nv.ay[p] * a[P - nx] + nv.ay[p + nx] * a[P + nx]
        x = nv.ax[p] * a[P - 1] + nv.ax[p + 1] * a[P + 1]
        s = y + x
        if rhs is not None:
            s = s + rhs[P]
        return s / nv.apv[p]
    s = nv.an * (a[P - nx] + a[P + nx]) + nv.ae * (a[P - 1] + a[P + 1])
    if rhs is not None:
        s = s + rhs[P]
    return s * (1.0 / nv.ap)


def varrer_pontos(nv, omega, ordem):
    """Gauss-Seidel no lugar, pontos na ordem dada; omega == 1: u = v; senão u = u + omega*(v - u)."""
    u = nv.u
    for P in ordem:
        v = valor_ponto(nv, u, P)
        u[P] = v if omega == 1.0 else u[P] + omega * (v - u[P])


def cores(nv):
    """Pontos vermelhos (i + j par) e pretos (i + j ímpar), em ordem lexicográfica."""
    nx, o = nv.nx, nv.o
    pts = [(i, j) for j in range(2, nv.ny) for i in range(2, nx)]
    return ([o + i + (j - 1) * nx for i, j in pts if (i + j) % 2 == 0],
            [o + i + (j - 1) * nx for i, j in pts if (i + j) % 2 == 1])


def jacobi(nv, omega):
    """Todos os v com os valores de antes da varredura; depois a atualização com omega."""
    u = nv.u
    ordem = nv.interiores()
    novos = [valor_ponto(nv, u, P) for P in ordem]
    for P, v in zip(ordem, novos):
        u[P] = v if omega == 1.0 else u[P] + omega * (v - u[P])


def thomas(e, ap, d):
    """ap*x(n) - e*x(n-1) - e*x(n+1) = d(n), n = 1..m; divisões são divisões."""
    m = len(d)
    w, g, h = [0.0] * m, [0.0] * m, [0.0] * m
    w[0] = ap
    g[0] = e / w[0]
    h[0] = d[0] / w[0]
    for n in range(1, m):
        w[n] = ap - e * g[n - 1]
        g[n] = e / w[n]
        h[n] = (d[n] + e * h[n - 1]) / w[n]
    x = [0.0] * m
    x[m - 1] = h[m - 1]
    for n in range(m - 2, -1, -1):
        x[n] = h[n] + g[n] * x[n + 1]
    return x


def thomas_variavel(b, c, d):
    """b(n)*x(n) - c(n-1)*x(n-1) - c(n)*x(n+1) = d(n) (seção 4.6, operador variável)."""
    m = len(d)
    w, g, h = [0.0] * m, [0.0] * m, [0.0] * m
    w[0] = b[0]
    g[0] = c[0] / w[0]
    h[0] = d[0] / w[0]
    for n in range(1, m):
        w[n] = b[n] - c[n - 1] * g[n - 1]
        g[n] = c[n] / w[n]
        h[n] = (d[n] + c[n - 1] * h[n - 1]) / w[n]
    x = [0.0] * m
    x[m - 1] = h[m - 1]
    for n in range(m - 2, -1, -1):
        x[n] = h[n] + g[n] * x[n + 1]
    return x


def linha_x_variavel(nv):
    u, o, rhs, nx = nv.u, nv.o, nv.rhs, nv.nx
    ax, ay = nv.ax, nv.ay
    for j in range(2, nv.ny):
        base = (j - 1) * nx
        d, b, c = [], [], []
        for i in range(2, nx):
            p = base + i
            P = o + p
            di = ay[p] * u[P - nx] + ay[p + nx] * u[P + nx]
            if rhs is not None:
                di = di + rhs[P]
            d.append(di)
            b.append(nv.apv[p])
            c.append(ax[p + 1])
        d[0] = d[0] + ax[base + 2] * u[o + base + 1]
        d[-1] = d[-1] + ax[base + nx] * u[o + base + nx]
        for i, x in zip(range(2, nx), thomas_variavel(b, c, d)):
            u[o + base + i] = x


def linha_y_variavel(nv):
    u, o, rhs, nx, ny = nv.u, nv.o, nv.rhs, nv.nx, nv.ny
    ax, ay = nv.ax, nv.ay
    for i in range(2, nx):
        d, b, c = [], [], []
        for j in range(2, ny):
            p = i + (j - 1) * nx
            P = o + p
            dj = ax[p] * u[P - 1] + ax[p + 1] * u[P + 1]
            if rhs is not None:
                dj = dj + rhs[P]
            d.append(dj)
            b.append(nv.apv[p])
            c.append(ay[p + nx])
        d[0] = d[0] + ay[i + nx] * u[o + i]
        d[-1] = d[-1] + ay[i + (ny - 1) * nx] * u[o + i + (ny - 1) * nx]
        for j, x in zip(range(2, ny), thomas_variavel(b, c, d)):
            u[o + i + (j - 1) * nx] = x


def linha_x(nv):
    """Linhas j = 2..ny-1 de sul a norte, cada uma resolvida exatamente (sul novo, norte antigo)."""
    if nv.var:
        return linha_x_variavel(nv)
    u, o, rhs, nx, ae, an = nv.u, nv.o, nv.rhs, nv.nx, nv.ae, nv.an
    for j in range(2, nv.ny):
        base = o + (j - 1) * nx
        d = []
        for i in range(2, nx):
            P = base + i
            di = an * (u[P - nx] + u[P + nx])
            if rhs is not None:
                di = di + rhs[P]
            if i == 2:
                di = di + ae * u[P - 1]
            if i == nx - 1:
                di = di + ae * u[P + 1]
            d.append(di)
        for i, x in zip(range(2, nx), thomas(ae, nv.ap, d)):
            u[base + i] = x


def linha_y(nv):
    """Colunas i = 2..nx-1 de oeste a leste (oeste novo, leste antigo)."""
    if nv.var:
        return linha_y_variavel(nv)
    u, o, rhs, nx, ny, ae, an = nv.u, nv.o, nv.rhs, nv.nx, nv.ny, nv.ae, nv.an
    for i in range(2, nx):
        d = []
        for j in range(2, ny):
            P = o + i + (j - 1) * nx
            dj = ae * (u[P - 1] + u[P + 1])
            if rhs is not None:
                dj = dj + rhs[P]
            if j == 2:
                dj = dj + an * u[P - nx]
            if j == ny - 1:
                dj = dj + an * u[P + nx]
            d.append(dj)
        for j, x in zip(range(2, ny), thomas(an, nv.ap, d)):
            u[o + i + (j - 1) * nx] = x


def suavizar(nv, e, n, ordem="same"):
    """n varreduras do suavizador escolhido; nível sem ponto interior fica como está. ordem "adjoint" (seção 4.7):
    gs-lex de trás para a frente, gs-rb os pretos e depois os vermelhos, cada cor de trás para a frente."""
    if nv.vazio():
        return
    nome, omega = e["suavizador"], e["omega"]
    for _ in range(n):
        if ordem == "adjoint" and nome == "gs-lex":
            varrer_pontos(nv, omega, nv.interiores()[::-1])
        elif ordem == "adjoint" and nome == "gs-rb":
            vermelhos, pretos = cores(nv)
            varrer_pontos(nv, omega, pretos[::-1])
            varrer_pontos(nv, omega, vermelhos[::-1])
        elif nome == "gs-lex":
            varrer_pontos(nv, omega, nv.interiores())
        elif nome == "gs-rb":
            vermelhos, pretos = cores(nv)
            varrer_pontos(nv, omega, vermelhos)
            varrer_pontos(nv, omega, pretos)
        elif nome == "gs-sym":
            ordem = nv.interiores()
            varrer_pontos(nv, omega, ordem)
            varrer_pontos(nv, omega, ordem[::-1])
        elif nome == "jacobi":
            jacobi(nv, omega)
        elif nome == "line-x":
            (robusta.linha_x_nove if nv.c9 is not None else linha_x)(nv)
        elif nome == "line-y":
            (robusta.linha_y_nove if nv.c9 is not None else linha_y)(nv)
        else:
            (robusta.linha_x_nove if nv.c9 is not None else linha_x)(nv)
            (robusta.linha_y_nove if nv.c9 is not None else linha_y)(nv)


# --- transferências ---------------------------------------------------------------------------------------------

def residuo(nv, p):
    """Resíduo no ponto local p do nível; 0 nos pontos de contorno."""
    nx = nv.nx
    i, j = (p - 1) % nx + 1, (p - 1) // nx + 1
    if i == 1 or i == nx or j == 1 or j == nv.ny:
        return 0.0
    u, P = nv.u, nv.o + p
    if nv.c9 is not None:
        return robusta.residuo_nove(nv, p)
    if nv.var:
        x = nv.ax[p] * u[P - 1] + nv.ax[p + 1] * u[P + 1]
        y = nv.ay[p] * u[P - nx] + nv.ay[p + nx] * u[P + nx]
        if nv.rhs is None:
            return (x + y) - nv.apv[p] * u[P]
        return ((nv.rhs[P] + x) + y) - nv.apv[p] * u[P]
    if nv.rhs is None:
        return nv.ae * (u[P - 1] + u[P + 1]) + nv.an * (u[P - nx] + u[P + nx]) - nv.ap * u[P]
    return nv.rhs[P] + nv.ae * (u[P - 1] + u[P + 1]) + nv.an * (u[P - nx] + u[P + nx]) - nv.ap * u[P]


def restringir(fino, grosso, tipo):
    """res do nível grosso (interior) a partir do resíduo do nível fino."""
    nxk, nxc = fino.nx, grosso.nx
    r = lambda p: residuo(fino, p)
    for J in range(2, grosso.ny):
        for I in range(2, nxc):
            p = (2 * I - 1) + (2 * J - 2) * nxk
            if tipo == "injection":
                v = r(p)
            elif tipo == "half":
                v = (4.0 * r(p) + ((r(p - 1) + r(p + 1)) + (r(p - nxk) + r(p + nxk)))) * 0.125
            else:
                v = ((4.0 * r(p) + 2.0 * ((r(p - 1) + r(p + 1)) + (r(p - nxk) + r(p + nxk))))
                     + ((r(p - nxk - 1) + r(p - nxk + 1)) + (r(p + nxk - 1) + r(p + nxk + 1)))) * 0.0625
            grosso.rhs[grosso.o + I + (J - 1) * nxc] = v


def prolongar(grosso, fino):
    """Soma a interpolação bilinear de cor do nível grosso aos pontos interiores do nível fino."""
    c0, nxc, nxk = grosso.o, grosso.nx, fino.nx
    cor, dest = grosso.u, fino.u
    for j in range(2, fino.ny):
        for i in range(2, nxk):
            c = c0 + (i - 1) // 2 + 1 + ((j - 1) // 2) * nxc
            if i % 2 and j % 2:
                v = cor[c]
            elif j % 2:
                v = 0.5 * (cor[c] + cor[c + 1])
            elif i % 2:
                v = 0.5 * (cor[c] + cor[c + nxc])
            else:
                v = 0.25 * (cor[c] + cor[c + 1] + cor[c + nxc] + cor[c + nxc + 1])
            dest[fino.o + i + (j - 1) * nxk] += v


# --- solução direta do nível 1 (Cholesky em banda; comparada só com tolerância) --------------------------------

@functools.lru_cache(maxsize=None)
def fator_cholesky(nx, ny, eps=1.0):
    """Fator L (dict (linha, coluna)) da matriz dos pontos interiores, em banda de largura nx - 2."""
    _, _, ae, an, ap = coef(nx, ny, eps)
    mx = nx - 2

    def a(r, c):   # elemento da matriz, c <= r; incógnitas em ordem lexicográfica
        if r == c:
            return ap
        if c == r - 1 and r % mx != 0:
            return -ae
        return -an if c == r - mx else 0.0
    return cholesky(a, nx, ny)


def fator_variavel(nv):
    """O mesmo fator com o operador variável (seção 6): diagonal apv, acoplamentos com oeste (ax) e sul (ay)."""
    nx, mx = nv.nx, nv.nx - 2
    pts = [i + (j - 1) * nx for j in range(2, nv.ny) for i in range(2, nx)]

    def a(r, c):
        p = pts[r]
        if r == c:
            return nv.apv[p]
        if c == r - 1 and r % mx != 0:
            return -nv.ax[p]
        return -nv.ay[p] if c == r - mx else 0.0
    return cholesky(a, nx, nv.ny)


def cholesky(a, nx, ny):
    mx, m = nx - 2, (nx - 2) * (ny - 2)
    L = {}
    for r in range(m):
        for c in range(max(0, r - mx), r + 1):
            s = a(r, c)
            for t in range(max(0, r - mx), c):
                s -= L[(r, t)] * L[(c, t)]
            L[(r, c)] = math.sqrt(s) if r == c else s / L[(c, c)]
    return L


def resolver_direto(nv):
    """ap*x - ae*(W+E) - an*(S+N) = rhs nos pontos interiores; contorno do arranjo como valores conhecidos."""
    if nv.vazio():
        return
    u, o, rhs, nx, ny = nv.u, nv.o, nv.rhs, nv.nx, nv.ny
    mx, pts = nx - 2, nv.interiores()
    b = []
    for P in pts:
        p = P - o
        i, j = (p - 1) % nx + 1, (p - 1) // nx + 1
        if nv.var:
            cw, ce, cs, cn = nv.ax[p], nv.ax[p + 1], nv.ay[p], nv.ay[p + nx]
        else:
            cw = ce = nv.ae
            cs = cn = nv.an
        s = rhs[P] if rhs is not None else 0.0
        if i == 2:
            s = s + cw * u[P - 1]
        if i == nx - 1:
            s = s + ce * u[P + 1]
        if j == 2:
            s = s + cs * u[P - nx]
        if j == ny - 1:
            s = s + cn * u[P + nx]
        b.append(s)
    L = fator_variavel(nv) if nv.var else fator_cholesky(nx, ny, nv.eps)
    m = len(pts)
    y = [0.0] * m
    for r in range(m):
        s = b[r]
        for t in range(max(0, r - mx), r):
            s -= L[(r, t)] * y[t]
        y[r] = s / L[(r, r)]
    x = [0.0] * m
    for r in range(m - 1, -1, -1):
        s = y[r]
        for t in range(r + 1, min(m, r + mx + 1)):
            s -= L[(t, r)] * x[t]
        x[r] = s / L[(r, r)]
    for P, v in zip(pts, x):
        u[P] = v


# --- o ciclo, o início por multigrid completo, a resolução ------------------------------------------------------

class Multigrid:
    def __init__(self, d, e):
        self.d, self.e, nm = d, e, d["nm"]
        eng = self.eng = e.get("engrossamento", "full") if nm >= 2 else "full"
        self.galerkin = nm >= 2 and e.get("operador_grosso", "rediscretize") == "galerkin"
        self.pelo_operador = nm >= 2 and e.get("interpolacao", "bilinear") == "operator"
        self.nxg, self.nyg = robusta.tamanhos(d["nx1"], d["ny1"], nm, eng)
        ofs = [0, 0]
        for k in range(1, nm):
            ofs.append(ofs[k] + self.nxg[k] * self.nyg[k])
        self.ofs = ofs
        self.T = [0.0] * (self.nxg[nm] * self.nyg[nm] + 1)
        self.cor = [0.0] * (ofs[nm] + 1)
        self.res = [0.0] * (ofs[nm] + 1)
        eps = e.get("eps", 1.0)
        # kappa de cada nível: o do mais fino, depois a média de cada um nas células do de baixo
        kap = [None] * (nm + 1)
        if e.get("variavel"):
            kap[nm] = campo_kappa(e["coeficiente"], self.nxg[nm], self.nyg[nm])
            for k in range(nm, 1 if not self.galerkin else nm, -1):
                kap[k - 1] = (media_celulas(kap[k], self.nxg[k], self.nyg[k]) if eng == "full"
                              else robusta.media_semi(kap[k], self.nxg[k], self.nyg[k], eng))
        self.kappa = kap[nm]
        self.fonte = fonte_do_problema(e["problema"], eps, self.nxg[nm], self.nyg[nm]) if "problema" in e else None
        self.niv = [None] + [Nivel(self.cor, ofs[k], self.res, self.nxg[k], self.nyg[k], eps, kap[k])
                             for k in range(1, nm)]
        self.niv.append(Nivel(self.T, 0, self.fonte, self.nxg[nm], self.nyg[nm], eps, kap[nm]))
        # seção 12: de cima para baixo, os pesos da interpolação do nível k, depois o operador de Galerkin de k-1
        for k in range(nm, 1, -1):
            if self.pelo_operador:
                self.niv[k].pesos = robusta.Pesos(self.niv[k], eng)
            if self.galerkin:
                self.niv[k - 1].c9 = galerkin_ref.galerkin(self.niv[k], self.niv[k].pesos, e["restricao"], eng,
                                                           self.nxg[k - 1], self.nyg[k - 1])

    def restringir(self, nv, grosso):
        tipo = self.e["restricao"]
        if self.eng == "full" and tipo != "transpose":
            restringir(nv, grosso, tipo)
        else:
            galerkin_ref.restringir_geral(nv, grosso, tipo, self.eng, nv.pesos, lambda p: residuo(nv, p))

    def prolongar(self, grosso, nv):
        if self.eng == "full" and nv.pesos is None:
            prolongar(grosso, nv)
        else:
            robusta.prolongar_geral(grosso, nv, nv.pesos, self.eng)

    def grosso(self, nv):
        if self.e["grosso"] == "solve":
            (galerkin_ref.resolver_nove if nv.c9 is not None else resolver_direto)(nv)
        elif self.e["ordem"] == "adjoint" and self.e["grosso"] % 2 == 0:
            # seção 4.7: um número par, metade na ordem da pré e metade na adjunta
            suavizar(nv, self.e, self.e["grosso"] // 2)
            suavizar(nv, self.e, self.e["grosso"] // 2, "adjoint")
        else:
            suavizar(nv, self.e, self.e["grosso"])

    def ciclo(self, k, tipo):
        nv, e = self.niv[k], self.e
        if k == 1:
            self.grosso(nv)
            return
        suavizar(nv, e, e["pre"])
        self.restringir(nv, self.niv[k - 1])
        zerar_nivel(self.cor, self.niv[k - 1])
        if tipo == "V":
            self.ciclo(k - 1, "V")
        elif tipo == "W":
            self.ciclo(k - 1, "W")
            self.ciclo(k - 1, "W")
        else:
            self.ciclo(k - 1, "F")
            self.ciclo(k - 1, "V")
        self.prolongar(self.niv[k - 1], nv)
        suavizar(nv, e, e["pos"], e["ordem"])

    def fmg(self):
        """Iteração externa 1: do nível 1 ao fino, cada nível com seu próprio problema de Dirichlet (seção 7.2): com
        fonte, o lado direito de um nível grosso é a fonte nos pontos finos coincidentes."""
        prob, nm = self.e.get("problema", self.d["problema"]), self.d["nm"]
        for k in range(1, nm + 1):
            nv = self.niv[k]
            zerar_nivel(nv.u, nv)
            if k < nm:
                zerar_nivel(self.res, nv)
                if self.fonte is not None:
                    nxf = self.nxg[nm]
                    px = 2 ** (nm - k) if self.eng in ("full", "x") else 1   # seção 12.1
                    py = 2 ** (nm - k) if self.eng in ("full", "y") else 1
                    for J in range(2, nv.ny):
                        for I in range(2, nv.nx):
                            self.res[nv.o + I + (J - 1) * nv.nx] = self.fonte[(I - 1) * px + 1
                                                                               + (J - 1) * py * nxf]
            if k == 1:
                contornos_nivel(nv, prob)
                self.grosso(nv)
            else:
                self.prolongar(self.niv[k - 1], nv)
                contornos_nivel(nv, prob)
                self.ciclo(k, self.e["ciclo"])


def norma_nivel(nv):
    """Seção 5.1: soma de |a(P)| em ordem de armazenamento, nas duas formas do operador, menos f quando há."""
    T, nx, s = nv.u, nv.nx, 0.0
    for P in nv.interiores():
        if nv.var:
            y = nv.ay[P] * T[P - nx] + nv.ay[P + nx] * T[P + nx]
            x = nv.ax[P] * T[P - 1] + nv.ax[P + 1] * T[P + 1]
            a = (nv.apv[P] * T[P] - y) - x
        else:
            a = (nv.ap * T[P] - nv.an * (T[P - nx] + T[P + nx])) - nv.ae * (T[P - 1] + T[P + 1])
        if nv.rhs is not None:
            a = a - nv.rhs[P]
        s = s + abs(a)
    return s


def resolver_metodo(d, m, partida=None):
    """Resolução com os componentes m; devolve hist, T, nx, ny e max|T| visto nas normas. `partida`: o campo do
    reinício (tipo_ci = 2), nx*ny valores em ordem de armazenamento."""
    e = efetivo(m, d["nitm"], d["problema"])
    mg = Multigrid(d, e)
    fino, T, nm = mg.niv[d["nm"]], mg.T, d["nm"]
    nx, ny = fino.nx, fino.ny
    if partida is not None:
        T[1:] = partida
    elif e["semente"] is not None:
        g = Gerador(e["semente"])
        for j in range(2, ny):
            for i in range(2, nx):
                T[i + (j - 1) * nx] = g.valor()
    elif d["tipo_ci"] == 1:
        for i in range(1, nx + 1):
            for j in range(1, ny + 1):
                T[i + (j - 1) * nx] = exata_em(e["problema"], e["eps"], (i - 1) * fino.dx, (j - 1) * fino.dy)
    contornos_nivel(fino, e["problema"])
    hist = [norma_nivel(fino)]
    maxT = max(abs(v) for v in T)
    RUPTURA[0] = None
    if e["krylov"] != "none":
        ciclo = (lambda: suavizar(fino, e, d["nitm"])) if nm == 1 else (lambda: mg.ciclo(nm, e["ciclo"]))
        metodo = krylov_ref.criar(e["krylov"], krylov_ref.Espaco(fino, ciclo))
    for it in range(1, d["itmax"] + 1):
        if e["krylov"] != "none":
            metodo.iterar()
            hist.append(norma_nivel(fino))
            maxT = max(maxT, max(abs(v) for v in T))
            if metodo.ruptura is not None:
                RUPTURA[0] = (it, metodo.ruptura)
                break
            r = hist[it] / hist[0] if hist[0] != 0 else (math.nan if hist[it] == 0 else math.inf)
            if d["tolt"] >= r or divergiu(hist[0], hist[it]):
                break
            continue
        if nm == 1:
            suavizar(fino, e, d["nitm"])
        elif it == 1 and e["fmg"]:
            mg.fmg()
        else:
            mg.ciclo(nm, e["ciclo"])
        hist.append(norma_nivel(fino))
        maxT = max(maxT, max(abs(v) for v in T))
        r = hist[it] / hist[0] if hist[0] != 0 else (math.nan if hist[it] == 0 else math.inf)
        if d["tolt"] >= r or divergiu(hist[0], hist[it]):
            break
    return hist, T, nx, ny, maxT


def texto_numero(v):
    """O número como std::to_chars o escreve: os dígitos mais curtos que relêem o valor, em notação fixa ou
    científica (expoente com sinal e ao menos dois dígitos), a mais curta das duas; empate, a fixa."""
    if v == 0.0:
        return "-0" if math.copysign(1.0, v) < 0 else "0"
    sinal = "-" if v < 0 else ""
    t = Decimal(repr(abs(v))).normalize().as_tuple()
    dig, ex = "".join(map(str, t.digits)), t.exponent
    n = len(dig)
    e10 = ex + n - 1
    cient = dig[0] + ("." + dig[1:] if n > 1 else "") + "e" + ("-" if e10 < 0 else "+") + "%02d" % abs(e10)
    if ex >= 0:
        fixo = dig + "0" * ex
    elif -ex < n:
        fixo = dig[:n + ex] + "." + dig[n + ex:]
    else:
        fixo = "0." + "0" * (-ex - n) + dig
    return sinal + (fixo if len(fixo) <= len(cient) else cient)


def texto_coeficiente(c):
    if c[0] == "constant":
        return "constant"
    if c[0] == "jump":
        return "jump:" + texto_numero(c[1])
    return "%s:%s:%d" % (c[0], texto_numero(c[1]), c[2])


def texto_problema(p):
    if p[0] in ("linear", "sinusoidal"):
        return p[0]
    if p[0] == "sin":
        return "sin:%d:%d" % (p[1], p[2])
    return "constant:" + texto_numero(p[1])


def bloco_metodo(d, m):
    """Linhas do bloco MÉTODO (vazio para o método clássico)."""
    nm, nitm = d["nm"], d["nitm"]
    e = efetivo(m, nitm, d.get("problema", 2))
    if padrao(e, nm, nitm):
        return []
    t15 = lambda s: s.ljust(15)
    n11 = lambda v: inteiro(v, 11) + "    "
    L = ["", "     MÉTODO"]
    if nm >= 2:
        L.append(t15(e["ciclo"]) + "   = ciclo: V, W ou F")
        L.append(t15("sim" if e["fmg"] else "não") + "   = fmg: início por multigrid completo")
        L.append(n11(e["pre"]) + "   = pré: varreduras antes da correção grossa")
        L.append(n11(e["pos"]) + "   = pós: varreduras depois da correção grossa")
        if e["grosso"] == "solve":
            L.append(t15("exato") + "   = grosso: nível 1 resolvido por método direto")
        else:
            L.append(n11(e["grosso"]) + "   = grosso: varreduras no nível 1")
    L.append(t15(e["suavizador"]) + "   = suavizador: gs-lex, gs-rb, jacobi, gs-sym, line-x, line-y ou line-alt")
    if e["omega"] is not None:
        L.append(cient(e["omega"], 17, 8) + " = omega: fator de relaxação")
    if nm >= 2:
        rob = robusto(e) or e["restricao"] == "transpose"
        # a legenda nomeia a transposta só nas listagens com a correção grossa robusta (seção 12)
        L.append(t15(e["restricao"]) + ("   = restrição: injection, half, full ou transpose" if rob
                                        else "   = restrição: injection, half ou full"))
        if robusto(e):
            L.append(t15(e["operador_grosso"]) + "   = operador grosso: rediscretize ou galerkin")
            L.append(t15(e["interpolacao"]) + "   = interpolação: bilinear ou operator")
            L.append(t15(e["engrossamento"]) + "   = engrossamento: full, x ou y")
    L.append(t15("tipo_ci" if e["semente"] is None else "aleatório") + "   = início: tipo_ci ou aleatório")
    if e["semente"] is not None:
        L.append(n11(e["semente"]) + "   = semente: do início aleatório")
    if e["eps"] != 1.0:
        L.append(cient(e["eps"], 17, 8) + " = eps: o operador é eps*u_xx + u_yy")
    if e["coeficiente"][0] != "constant":
        L.append(t15(texto_coeficiente(e["coeficiente"])) + "   = coeficiente: kappa por célula, o operador "
                                                            "div(kappa grad u)")
    if not e["da_entrada"]:
        L.append(t15(texto_problema(e["problema"])) + "   = problema: o de --problem, no lugar do da entrada")
    if e["krylov"] != "none":
        L.append(t15(e["krylov"]) + "   = krylov: none, cg, bicgstab ou gmres:M, com o ciclo como precondicionador")
        if RUPTURA[0] is not None:
            L.append("     ruptura na iteração %d: %s" % RUPTURA[0])
    if nm >= 2 and e["ordem"] == "adjoint":
        L.append(t15("adjoint") + "   = ordem da pós-suavização: same ou adjoint (a adjunta da pré)")
    return L


# A ruptura do último resolver_metodo com --krylov: (iteração, texto), ou None.
RUPTURA = [None]


def listagem_metodo(d, m, hist, T, nx, ny, veredito=None):
    """A listagem com o bloco MÉTODO depois da linha de freq (índice 18: 5 linhas + 14 valores) e, fora do método
    clássico, a linha do veredito antes da linha vazia que precede a do tempo de CPU."""
    L = listagem(d, hist, T, nx, ny)
    bloco = bloco_metodo(d, m)
    if not bloco:
        return L
    v = veredito or vereditos(d, hist)[0]
    return L[:19] + bloco + L[19:-1] + ["", linha_veredito(v), ""]


def reinicio_usado(d, m):
    """tipo_ci = 2 lê o campo salvo, salvo quando o início aleatório ou o FMG fazem o seu próprio início."""
    e = efetivo(m, d["nitm"], d["problema"])
    return d["tipo_ci"] == 2 and e["semente"] is None and not (e["fmg"] and d["nm"] >= 2)


def escrever_reinicio(caminho, d, m, semente):
    """Um campo de reinício escrito à mão no formato .npy 1.0 (float64 little-endian, ordem C, forma (ny, nx)),
    valores ao acaso em [-1, 1), e a sua descrição JSON; devolve os valores."""
    e = efetivo(m, d["nitm"], d["problema"])
    nx = (d["nx1"] - 1) * 2 ** (d["nm"] - 1) + 1
    ny = (d["ny1"] - 1) * 2 ** (d["nm"] - 1) + 1
    g = random.Random(semente)
    valores = [g.uniform(-1.0, 1.0) for _ in range(nx * ny)]
    dic = "{'descr': '<f8', 'fortran_order': False, 'shape': (%d, %d), }" % (ny, nx)
    dic += " " * (-(10 + len(dic) + 1) % 64) + "\n"
    with open(caminho, "wb") as f:
        f.write(b"\x93NUMPY\x01\x00" + struct.pack("<H", len(dic)) + dic.encode() +
                b"".join(struct.pack("<d", v) for v in valores))
    with open(caminho + ".json", "w") as f:
        f.write('{"format": "placa field", "version": 1, "shape": [%d, %d], "problem": "%s", "eps": %s, '
                '"coefficient": "%s"}' % (ny, nx, texto_problema(e["problema"]), texto_numero(e["eps"]),
                                          texto_coeficiente(e["coeficiente"])))
    return valores


def caso_aleatorio(rnd, n):
    nm = rnd.choice([1, 1, 2, 3, 4, 5])
    lim = {1: 40, 2: 20, 3: 10, 4: 6, 5: 4}[nm]
    d = dict(caso="caso%d.lst" % n, nm=nm, nx1=rnd.randint(2, lim), ny1=rnd.randint(2, lim),
             tolt=rnd.choice([0.0, 1e-3, 1e-6, 1e-10, -1.0, 0.5, 2.0]), itmax=rnd.randint(0, 12),
             nitm=rnd.choice([-1, 0, 1, 1, 2, 3]), problema=rnd.choice([1, 2, 2, 0, 7]),
             tipo_ci=rnd.choice([0, 0, 1, 2]), escreve=rnd.choice([0, 1, 1, 2]), freq=rnd.randint(-2, 9),
             titulo=rnd.choice(["Placa", "  Placa quadrada  ", "Condução com acentos é ótimo", ""]))
    return d


# ---------------------------------------------------------------------------------------------------------------
# Entradas aleatórias: o caso (como antes) e os componentes, passados ao placa como opções.

OMEGAS = (0.5, 2.0 / 3.0, 0.8, 1.0, 1.2, 1.5, 1.9)


def metodo_aleatorio(rnd, nm):
    """Componentes sorteados independentemente; um terço dos casos é o clássico (nenhuma opção)."""
    if rnd.random() < 1.0 / 3.0:
        return {}
    m = {}
    if rnd.random() < 0.6:
        m["ciclo"] = rnd.choice("VWF")
    if rnd.random() < 0.3:
        m["fmg"] = True
    for c in ("pre", "pos"):
        if rnd.random() < 0.5:
            m[c] = rnd.randint(0, 3)
    x = rnd.random()
    if x < 0.2:
        m["grosso"] = "solve"
    elif x < 0.6:
        m["grosso"] = rnd.randint(0, 3)
    if rnd.random() < 0.8:
        m["suavizador"] = rnd.choice(SUAVIZADORES)
    if m.get("suavizador", "gs-lex") in PONTUAIS and rnd.random() < 0.5:
        m["omega"] = rnd.choice(OMEGAS)
    if rnd.random() < 0.6:
        m["restricao"] = rnd.choice(RESTRICOES)
    if rnd.random() < 0.35:
        m["inicio"] = rnd.choice([None, 0, 1, 42, 4294967295, rnd.randint(0, 4294967295)])
    if rnd.random() < 0.35:
        m["operador_grosso"] = rnd.choice(["galerkin", "galerkin", "rediscretize"])
    if rnd.random() < 0.3:
        m["interpolacao"] = rnd.choice(["operator", "operator", "bilinear"])
    if rnd.random() < 0.3:
        m["engrossamento"] = rnd.choice(["x", "y", "full"])
    if rnd.random() < 0.15:
        m["restricao"] = "transpose"
    if nm == 1 and rnd.random() < 0.7:
        # em geral só o que se aplica a nm = 1; às vezes o resto também (o placa avisa e ignora)
        m = {c: v for c, v in m.items() if c in ("suavizador", "omega", "inicio")}
    return m


def opcoes(m):
    a = []
    if "ciclo" in m:
        a += ["--cycle", m["ciclo"]]
    if m.get("fmg"):
        a.append("--fmg")
    for c, nome in (("pre", "--pre"), ("pos", "--post"), ("grosso", "--coarsest")):
        if c in m:
            a += [nome, str(m[c])]
    if "suavizador" in m:
        a += ["--smoother", m["suavizador"]]
    if "omega" in m:
        a += ["--omega", repr(m["omega"])]
    if "restricao" in m:
        a += ["--restriction", m["restricao"]]
    if "inicio" in m:
        a += ["--start", "random" if m["inicio"] is None else "random:%d" % m["inicio"]]
    for c, nome in (("operador_grosso", "--coarse-operator"), ("interpolacao", "--interpolation"),
                    ("engrossamento", "--coarsening")):
        if c in m:
            a += [nome, m[c]]
    if "eps" in m:
        a += ["--eps", repr(m["eps"])]
    if "coeficiente" in m:
        a += ["--coefficient", texto_coeficiente(m["coeficiente"])]
    if "problema" in m:
        a += ["--problem", texto_problema(m["problema"])]
    if "krylov" in m:
        a += ["--krylov", m["krylov"]]
    if "ordem" in m:
        a += ["--post-order", m["ordem"]]
    return a


def ordem_aleatoria(rnd, d, m):
    """Seção 4.7: --post-order adjoint em um quinto dos casos; metade deles um ciclo que o cg aceita com gs-lex ou
    gs-rb; às vezes com um suavizador por linhas (recusado) ou numa malha só (ignorado)."""
    if rnd.random() >= 0.2:
        return m
    m = dict(m, ordem=rnd.choice(["adjoint", "adjoint", "adjoint", "same"]))
    if d["nm"] >= 2 and rnd.random() < 0.5:
        m["suavizador"] = rnd.choice(["gs-lex", "gs-rb"])
        m["pos"] = m["pre"] = m.get("pre", rnd.randint(1, 2))
        m["ciclo"] = rnd.choice("VW")
        m["restricao"] = rnd.choice(["full", "transpose"])
        m["grosso"] = rnd.choice(["solve", 0, 2, 4, 1])
        m["krylov"] = "cg"
        m.pop("fmg", None)
    return m


def krylov_aleatorio(rnd, m):
    """Seção 13: --krylov em um quarto dos casos, às vezes com um ciclo que o cg aceita."""
    if rnd.random() >= 0.25:
        return m
    k = rnd.choice(["cg", "cg", "bicgstab", "gmres", "gmres:%d" % rnd.randint(1, 4)])
    m = dict(m, krylov=k)
    if k == "cg" and rnd.random() < 0.7:
        m["suavizador"] = rnd.choice(["jacobi", "gs-sym"])
        m["pos"] = m["pre"] = m.get("pre", rnd.randint(1, 2))
        m["ciclo"] = rnd.choice("VW")
        m["restricao"] = rnd.choice(["full", "transpose"])
        m.pop("fmg", None)
    elif rnd.random() < 0.5:
        m.pop("fmg", None)
    return m


def recusa_krylov(d, e):
    """Seção 13.5: 1 quando o placa recusa o método de Krylov com este ciclo."""
    if e["krylov"] == "none":
        return 0
    nm = d["nm"]
    if nm >= 2 and e["fmg"]:
        return 1
    if e["krylov"] != "cg":
        return 0
    proprio = e["suavizador"] in ("jacobi", "gs-sym")
    if not proprio and (nm == 1 or e["suavizador"] not in ("gs-lex", "gs-rb") or e["ordem"] != "adjoint"):
        return 1
    if nm == 1:
        return 0
    # seção 4.7: o nível 1 alisado por um número ímpar de varreduras não se divide em ida e volta
    if not proprio and e["grosso"] != "solve" and e["grosso"] % 2 == 1:
        return 1
    if e["pre"] != e["pos"] or e["ciclo"] == "F":
        return 1
    if not (e["restricao"] == "transpose" or (e["restricao"] == "full" and e["interpolacao"] == "bilinear")):
        return 1
    return 0


EPS = (0.1, 0.01, 1e-3, 3.0, 0.37, 1.0)
VALORES_C = (1e-8, 0.01, 1.0, 10.0, 1e3, 1e8)


def problema_aleatorio(rnd, d, m):
    """As opções do problema, sorteadas à parte; o coeficiente variável só em grades pequenas (o modelo é lento)."""
    nm = d["nm"]
    nxf, nyf = (d["nx1"] - 1) * 2 ** (nm - 1) + 1, (d["ny1"] - 1) * 2 ** (nm - 1) + 1
    if rnd.random() < 0.35:
        m["eps"] = rnd.choice(EPS)
    # os componentes robustos (seção 12) mostram o que fazem com o coeficiente que varia: mais vezes com eles
    rob = any(c in m for c in ("operador_grosso", "interpolacao", "engrossamento"))
    if nxf * nyf <= 1200 and rnd.random() < (0.7 if rob else 0.4):
        x = rnd.random()
        C = rnd.choice(VALORES_C)
        if x < 0.25:
            m["coeficiente"] = ("jump", C)
        elif x < 0.5:
            m["coeficiente"] = ("checker", C, rnd.randint(1, max(1, min(nxf, nyf) - 1) + (rnd.random() < 0.1)))
        elif x < 0.7:
            m["coeficiente"] = ("layers", C, rnd.randint(1, max(1, nyf - 1) + (rnd.random() < 0.1)))
        else:
            m["coeficiente"] = ("random", C, rnd.choice([1, 0, 7, 4294967295]))
    if rnd.random() < 0.4:
        x = rnd.random()
        if x < 0.2:
            m["problema"] = (rnd.choice(["linear", "sinusoidal"]),)
        elif x < 0.6:
            m["problema"] = ("sin", rnd.randint(1, 4), rnd.choice([1, 2, 3, 1000000]))
        else:
            m["problema"] = ("constant", rnd.choice([1.0, -2.5, 0.0, 1e6, 1.0 / 3.0]))
    return m


def recusa(d, m):
    """O código de saída com que o placa recusa o caso antes de escrever qualquer coisa (0: aceita)."""
    e = efetivo(m, d["nitm"], d["problema"])
    if e["problema"][0] == "sin" and e["variavel"]:
        return 2   # a linha de comando
    if e["restricao"] == "half" and e["engrossamento"] != "full":
        return 2   # seção 12: a meia ponderação não tem forma numa direção
    if e["ordem"] == "adjoint" and e["suavizador"] in ("line-x", "line-y", "line-alt"):
        return 2   # seção 4.7: a ordem adjunta só nos suavizadores pontuais
    nm = d["nm"]
    if nm >= 2 and robusto(e):
        # seção 12: com os componentes robustos, todo nível com pontos interiores
        nxg, nyg = robusta.tamanhos(d["nx1"], d["ny1"], nm, e["engrossamento"])
        if any(nxg[k] <= 2 or nyg[k] <= 2 for k in range(1, nm + 1)):
            return 1
    nxf, nyf = (d["nx1"] - 1) * 2 ** (nm - 1) + 1, (d["ny1"] - 1) * 2 ** (nm - 1) + 1
    c = e["coeficiente"]
    if c[0] == "checker" and (c[2] > nxf - 1 or c[2] > nyf - 1):
        return 1
    if c[0] == "layers" and c[2] > nyf - 1:
        return 1
    if d["tipo_ci"] == 1 and not tem_exata(e):
        return 1
    return recusa_krylov(d, e)


# ---------------------------------------------------------------------------------------------------------------
# Comparação das listagens. Byte a byte, exceto com --coarsest solve (nm >= 2): a solução direta do placa
# difere nos últimos bits da daqui, então, e só então, os números da tabela de histórico e do campo T são
# comparados com tolerância:
#   - cada norma hist(it), it >= 1, pode diferir de tau(it) = 1e-9*hist(it) + A*G(it), A = 1e-11*ap*N*max(1, max|T|)
#     (ap e N = incógnitas da malha fina: ap*N*|T| é a escala do resíduo de um campo; o piso de arredondamento
#     é ~1e-16 dela); G(it) = max(1, hist(it) / min_{j<it} max(hist(j), A)) é o crescimento do resíduo (1 numa
#     iteração que converge); hist(0) é exato. Depois de uma norma no piso (<= A; hist(0) conta sem --fmg) a
#     iteração só amplifica ruído de arredondamento, diferente nos dois: essas normas não são comparadas.
#     L1(R)i/L1(R)o, q e qmed são aceitos se estão no intervalo que as normas permitem, mais meia unidade do
#     último dígito impresso;
#   - o número de iterações só pode diferir se, na última iteração comum, o teste de parada era ambíguo
#     dentro dessa tolerância (piso de arredondamento);
#   - cada valor do campo T pode diferir de 1e-9*max(1, max|T|)*G(última), mais meia unidade do último dígito;
#   - todas as demais linhas, byte a byte.

CABECALHO = "  Iteração   L1(R)i/L1(R)o  q              qmed"


class Escala:
    """O que a tolerância de comparar_tolerante lê do nível mais fino: pontos, o maior ap e o maior |f|."""

    def __init__(self, nx, ny, ap, fmax=0.0):
        self.nx, self.ny, self.ap, self.fmax = nx, ny, ap, fmax


def escala_residuo(d, m):
    e = efetivo(m, d["nitm"], d["problema"])
    fino = Multigrid(d, e).niv[d["nm"]]
    ap = max((fino.apv[P] for P in fino.interiores()), default=0.0) if fino.var else fino.ap
    fmax = max((abs(x) for x in fino.rhs), default=0.0) if fino.rhs is not None else 0.0
    return Escala(fino.nx, fino.ny, ap, fmax)


def ler_cient(t):
    """(valor, unidade do último dígito) de um campo científico; None se não for número finito."""
    s = t.strip()
    if not s or s[0] == "*" or s in ("NaN", "Infinity", "-Infinity"):
        return None
    k = s.find("E")
    if k < 0:
        k = max(s.rfind("+"), s.rfind("-"))   # expoente de três dígitos sem letra
        man, ex = s[:k], int(s[k:])
    else:
        man, ex = s[:k], int(s[k + 1:])
    v = float(man + "e" + str(ex))
    return v, 0.0 if v == 0.0 else 10.0 ** (ex - (len(man.split(".")[1]) if "." in man else 0))


def no_intervalo(tp, tm, iv):
    if tp == tm or iv is None:
        return True
    p = ler_cient(tp)
    if p is None:
        return False
    return iv[0] - 0.51 * p[1] <= p[0] <= iv[1] + 0.51 * p[1]


def quociente(n, dv):
    """Intervalo de n/dv, n e dv intervalos de normas (>= 0); None: qualquer valor."""
    if n is None or dv is None or dv[0] <= 0.0:
        return None
    return max(n[0], 0.0) / dv[1], n[1] / dv[0]


def diferenca(corpo, esp):
    for i, (a, b) in enumerate(zip(corpo, esp)):
        if a != b:
            return "  linha %d\n  placa:      %r\n  referência: %r" % (i + 5, a, b)
    return None if len(corpo) == len(esp) else "  número de linhas: %d x %d" % (len(corpo), len(esp))


def comparar_tolerante(corpo, esp, d, m, hist, T, maxT, fino):
    """None se as listagens concordam dentro da tolerância acima; senão a descrição da diferença."""
    h = esp.index(CABECALHO) + 2
    dif = diferenca(corpo[:h], esp[:h])
    if dif:
        return dif
    fim = lambda L: next((k for k in range(h, len(L)) if L[k] == ""), len(L))
    fp, fm = fim(corpo), fim(esp)
    escala = max(1.0, maxT)
    efetivo_fmg = d["nm"] >= 2 and efetivo(m, d["nitm"])["fmg"]
    A = 1e-11 * ((fino.nx - 2) * (fino.ny - 2)) * (fino.ap * escala + fino.fmax)
    norma_iv, menor, crescimento = [(hist[0], hist[0])], max(hist[0], A), 1.0
    ruido = hist[0] <= A and not efetivo_fmg
    for x in hist[1:]:
        # numa iteração que diverge a diferença cresce com o resíduo: A vezes o crescimento desde o menor
        crescimento = max(1.0, x / menor) if math.isfinite(x) else math.inf
        tau = 1e-9 * abs(x) + A * crescimento
        norma_iv.append((x - tau, x + tau) if math.isfinite(x) and not ruido else None)
        menor = min(menor, max(x, A))
        ruido = ruido or x <= A
    razao = lambda it: quociente(norma_iv[it], norma_iv[0])
    n_p, n_m = fp - h, fm - h
    c = min(n_p, n_m)
    if n_p != n_m:
        # na iteração c um lado parou (tolt ou divergência, metodo.md 7.3) e o outro seguiu: as duas coisas
        # precisam caber no intervalo da razão
        iv = razao(c) if c >= 1 else (0.0, 0.0)
        para = iv is None or iv[0] <= d["tolt"] or iv[1] > 1e6
        segue = iv is None or (iv[1] > d["tolt"] and iv[0] <= 1e6)
        if c < 1 or not (para and segue):
            return "  iterações: placa %d, referência %d" % (n_p, n_m)
    for it in range(1, c + 1):
        lp, lm = corpo[h + it - 1], esp[h + it - 1]
        r = razao(it)
        ivs = (r, quociente(norma_iv[it], norma_iv[it - 1]),
               None if r is None else (math.pow(r[0], 1.0 / it), math.pow(r[1], 1.0 / it)))
        ok = len(lp) == len(lm) and lp[:10] == lm[:10] and all(
            no_intervalo(lp[10 + 15 * f:25 + 15 * f], lm[10 + 15 * f:25 + 15 * f], ivs[f]) for f in range(3))
        if not ok:
            return "  linha %d (tolerância)\n  placa:      %r\n  referência: %r" % (h + it + 4, lp, lm)
    resto_p, resto_m = corpo[fp:], esp[fm:]
    if len(resto_p) != len(resto_m):
        return "  número de linhas: %d x %d" % (len(corpo), len(esp))
    if n_p != n_m:
        # parando em iterações diferentes, o veredito também pode diferir
        resto_m = [a if a.endswith(" = veredito: convergiu, parou, estagnou ou divergiu") and
                   b.endswith(" = veredito: convergiu, parou, estagnou ou divergiu") else b
                   for a, b in zip(resto_p, resto_m)]
    # valores de T na ordem em que o bloco do campo os imprime
    nx, ny = fino.nx, fino.ny
    valores = iter([T[i + (j - 1) * nx] for b in range((nx + 7) // 8) for j in range(1, ny + 1)
                    for i in range(8 * b + 1, min(8 * b + 8, nx) + 1)] if d["escreve"] == 1 else [])
    tolT = 1e-9 * escala * crescimento
    for k, (a, b) in enumerate(zip(resto_p, resto_m)):
        ok = a == b
        if b != "" and len(b) % 15 == 0:
            ok = len(a) == len(b)
            for f in range(0, len(b), 15):
                t = next(valores)
                ok = ok and no_intervalo(a[f:f + 15], b[f:f + 15], (t - tolT, t + tolT) if math.isfinite(t) else None)
        if not ok:
            return "  linha %d (tolerância)\n  placa:      %r\n  referência: %r" % (fp + k + 5, a, b)
    return None


def escrever_entrada(d, crlf):
    fim = "\r\n" if crlf else "\n"
    linhas = ["'%s'   caso" % d["caso"], "%d  nm" % d["nm"], "%d" % d["nx1"], "%d  nyg(1)" % d["ny1"],
              repr(d["tolt"]).replace("e", "d"), "%d" % d["itmax"], "%d" % d["nitm"], "%d" % d["problema"],
              "%d" % d["tipo_ci"], "%d" % d["escreve"], "%d" % d["freq"], "'%s'" % d["titulo"].replace("'", "''")]
    return (fim.join(linhas) + fim).encode("latin-1")


# ---------------------------------------------------------------------------------------------------------------
# Autoteste do modelo (sem o placa): referencia.py --autoteste

def bits(v):
    return [struct.pack("<d", x) for x in v]


def nivel_teste(nx, ny, rnd, com_rhs=True):
    """Um nível isolado (deslocamento 0) com valores aleatórios no arranjo e no lado direito."""
    u = [0.0] + [rnd.uniform(-1.0, 1.0) for _ in range(nx * ny)]
    rhs = [0.0] + [rnd.uniform(-50.0, 50.0) for _ in range(nx * ny)] if com_rhs else None
    return Nivel(u, 0, rhs, nx, ny)


def tridiagonal_exato(e, ap, d):
    """A mesma tridiagonal resolvida em frações exatas (eliminação sem arredondamento)."""
    e, ap, d = Fraction(e), Fraction(ap), [Fraction(x) for x in d]
    m = len(d)
    diag, rhs = [ap] * m, list(d)
    for n in range(1, m):
        f = -e / diag[n - 1]
        diag[n] = diag[n] + f * e
        rhs[n] = rhs[n] - f * rhs[n - 1]
    x = [Fraction(0)] * m
    x[m - 1] = rhs[m - 1] / diag[m - 1]
    for n in range(m - 2, -1, -1):
        x[n] = (rhs[n] + e * x[n + 1]) / diag[n]
    return [float(v) for v in x]


def chk_regressao():
    """Componentes padrão, dados ou omitidos, reproduzem bit a bit o modelo clássico."""
    rnd = random.Random(7)
    for c in range(250):
        d = caso_aleatorio(rnd, c)
        h0, T0, nx, ny = resolver(d)
        nitm = d["nitm"]
        explicito = dict(ciclo="V", pre=nitm, pos=nitm, grosso=nitm, suavizador="gs-lex", omega=1.0,
                         restricao="injection")
        for m in ({}, explicito):
            h1, T1, _, _, _ = resolver_metodo(d, m)
            if bits(h0) != bits(h1) or bits(T0) != bits(T1):
                return "caso %r, opções %r" % (d, opcoes(m))
            if listagem_metodo(d, m, h1, T1, nx, ny) != listagem(d, h0, T0, nx, ny):
                return "listagem do caso %r" % d
    return None


def chk_linha_exata():
    """line-x numa malha de uma linha (e line-y numa coluna) dá a solução exata da tridiagonal."""
    rnd = random.Random(11)
    for nx, ny, fun, eixo in ((9, 3, linha_x, "x"), (3, 12, linha_y, "y"), (4, 3, linha_x, "x"),
                              (3, 3, linha_x, "x")):
        nv = nivel_teste(nx, ny, rnd)
        u, rhs = nv.u, nv.rhs
        pts = nv.interiores()
        if eixo == "x":
            d = [rhs[P] + nv.an * (u[P - nx] + u[P + nx]) for P in pts]
            d[0] += nv.ae * u[pts[0] - 1]
            d[-1] += nv.ae * u[pts[-1] + 1]
            exato = tridiagonal_exato(nv.ae, nv.ap, d)
        else:
            d = [rhs[P] + nv.ae * (u[P - 1] + u[P + 1]) for P in pts]
            d[0] += nv.an * u[pts[0] - nx]
            d[-1] += nv.an * u[pts[-1] + nx]
            exato = tridiagonal_exato(nv.an, nv.ap, d)
        fun(nv)
        for P, x in zip(pts, exato):
            if abs(u[P] - x) > 1e-14 * max(1.0, abs(x)):
                return "line-%s %dx%d: %r x exato %r" % (eixo, nx, ny, u[P], x)
    return None


def chk_rb_ordem():
    """gs-rb: dentro de cada cor a ordem não importa (bit a bit)."""
    rnd = random.Random(13)
    for omega in (1.0, 1.3):
        a = nivel_teste(9, 8, rnd)
        b = Nivel(list(a.u), 0, a.rhs, 9, 8)
        vermelhos, pretos = cores(a)
        varrer_pontos(a, omega, vermelhos)
        varrer_pontos(a, omega, pretos)
        rnd.shuffle(vermelhos)
        rnd.shuffle(pretos)
        varrer_pontos(b, omega, vermelhos)
        varrer_pontos(b, omega, pretos)
        if bits(a.u) != bits(b.u):
            return "omega %r" % omega
    return None


def refletir(v, nx, ny):
    return [0.0] + [v[(nx + 1 - i) + (ny - j) * nx] for j in range(1, ny + 1) for i in range(1, nx + 1)]


def chk_gs_sym():
    """gs-sym = uma varredura lexicográfica para a frente e outra para trás (a de trás = para a frente na
    malha refletida), bit a bit."""
    rnd = random.Random(17)
    for omega in (1.0, 1.4):
        a = nivel_teste(8, 7, rnd)
        b = Nivel(list(a.u), 0, a.rhs, 8, 7)
        suavizar(a, dict(suavizador="gs-sym", omega=omega), 1)
        suavizar(b, dict(suavizador="gs-lex", omega=omega), 1)
        r = Nivel(refletir(b.u, 8, 7), 0, refletir(b.rhs, 8, 7), 8, 7)
        suavizar(r, dict(suavizador="gs-lex", omega=omega), 1)
        if bits(a.u) != bits(refletir(r.u, 8, 7)):
            return "omega %r" % omega
    return None


def chk_jacobi():
    """Jacobi só lê valores antigos: uma perturbação no centro chega só aos 4 vizinhos (gs-lex vai além)."""
    alcance = {}
    for nome, omega in (("jacobi", 1.0), ("jacobi", 0.8), ("gs-lex", 1.0)):
        nv = Nivel([0.0] * 82, 0, None, 9, 9)
        nv.u[41] = 1.0   # ponto (5, 5)
        suavizar(nv, dict(suavizador=nome, omega=omega), 1)
        alcance[nome, omega] = sorted(P for P in range(1, 82) if nv.u[P] != 0.0)
    vizinhos = [32, 40, 42, 50]
    if alcance["jacobi", 1.0] != vizinhos or alcance["jacobi", 0.8] != sorted(vizinhos + [41]):
        return "jacobi alcançou %r" % alcance
    if len(alcance["gs-lex", 1.0]) <= 5:
        return "gs-lex não foi além dos vizinhos: o teste não distingue"
    return None


def splitmix_ctypes(semente, n):
    """Segunda conta do gerador, com inteiros de 64 bits do C (ctypes), sem máscaras."""
    s, saida = ctypes.c_uint64(semente), []
    for _ in range(n):
        s = ctypes.c_uint64(s.value + 0x9E3779B97F4A7C15)
        z = ctypes.c_uint64(s.value)
        z = ctypes.c_uint64((z.value ^ (z.value >> 30)) * 0xBF58476D1CE4E5B9)
        z = ctypes.c_uint64((z.value ^ (z.value >> 27)) * 0x94D049BB133111EB)
        saida.append(z.value ^ (z.value >> 31))
    return saida


def chk_gerador():
    """splitmix64: duas contas independentes; semente 0 dá o vetor publicado 0xe220a8397b1dcdaf."""
    for semente in (0, 1, 42, 4294967295):
        g = Gerador(semente)
        if [g.inteiro() for _ in range(8)] != splitmix_ctypes(semente, 8):
            return "semente %d" % semente
    if Gerador(0).inteiro() != 0xE220A8397B1DCDAF:
        return "semente 0"
    g = Gerador(1)
    print("    semente 1: " + ", ".join("%016x -> %r" % (z, (float(z >> 11) * 2.0 ** -53) * 2.0 - 1.0)
                                      for z in splitmix_ctypes(1, 4)))
    vals = [g.valor() for _ in range(4)]
    if vals != [(float(z >> 11) / 9007199254740992.0) * 2.0 - 1.0 for z in splitmix_ctypes(1, 4)]:
        return "valores da semente 1"
    d = dict(nm=1, nx1=5, ny1=4, tolt=-1.0, itmax=0, nitm=1, problema=2, tipo_ci=1)
    _, T, nx, ny, _ = resolver_metodo(d, {"inicio": 1})
    if T[2 + nx] != vals[0] or T[3 + nx] != vals[1] or not all(-1.0 <= T[i + (j - 1) * nx] < 1.0
                                                              for j in range(2, ny) for i in range(2, nx)):
        return "início aleatório: %r" % T
    return None


def chk_restricao_constante():
    """Meia ponderação e ponderação completa de um resíduo constante (ou linear) dão a constante (o valor)."""
    rnd = random.Random(19)
    for c, tol in ((3.0, 0.0), (-1.25, 0.0), (rnd.uniform(-9.0, 9.0), 4.5e-16), ("linear", 1e-13)):
        fino = Nivel([0.0] * (17 * 13 + 1), 0, [0.0] * (17 * 13 + 1), 17, 13)
        for P in fino.interiores():
            i, j = (P - 1) % 17 + 1, (P - 1) // 17 + 1
            fino.rhs[P] = 0.5 + 0.25 * i - 0.125 * j if c == "linear" else c
        for tipo in RESTRICOES:
            grosso = Nivel([0.0] * 64, 0, [0.0] * 64, 9, 7)
            restringir(fino, grosso, tipo)
            for J in range(2, 6):
                for I in range(2, 8):
                    alvo = fino.rhs[(2 * I - 1) + (2 * J - 2) * 17]
                    if abs(grosso.rhs[I + (J - 1) * 9] - alvo) > tol * abs(alvo):
                        return "%s, %r: %r x %r" % (tipo, c, grosso.rhs[I + (J - 1) * 9], alvo)
    return None


def razoes(d, m):
    h = resolver_metodo(d, m)[0]
    return [x / h[0] for x in h]


def chk_ciclos():
    """W e F convergem mais por ciclo que V (nível 1 mal resolvido: 1 varredura num 5x5); o FMG dá uma primeira
    razão muito menor que a do V."""
    for nm, inicio in ((4, False), (3, 3)):
        d = dict(nm=nm, nx1=5, ny1=5, tolt=-1.0, itmax=6, nitm=1, problema=2, tipo_ci=0)
        m = {"grosso": 1} if inicio is False else {"grosso": 1, "inicio": inicio}
        v, w, f = (razoes(d, dict(m, ciclo=c))[6] for c in "VWF")
        print("    nm %d, início %r, razão após 6 ciclos: V %.3e, W %.3e, F %.3e" % (nm, inicio, v, w, f))
        if not (w < 0.5 * v and f < 0.5 * v):
            return "V %r, W %r, F %r" % (v, w, f)
    d = dict(nm=5, nx1=3, ny1=3, tolt=-1.0, itmax=2, nitm=2, problema=2, tipo_ci=0)
    v1, f1 = razoes(d, {})[1], razoes(d, {"fmg": True})[1]
    print("    primeira razão: V %.3e, FMG %.3e" % (v1, f1))
    if not f1 < 0.05 * v1:
        return "V %r, FMG %r" % (v1, f1)
    return None


def chk_visitas():
    """Ciclos por nível numa iteração de nm = 4: o nível k < nm recebe 1 (V), 2^(nm-k) (W), nm-k+1 (F)."""
    d = dict(nm=4, nx1=3, ny1=3, nitm=1, problema=2)
    for tipo, esperado in (("V", {1: 1, 2: 1, 3: 1}), ("W", {1: 8, 2: 4, 3: 2}), ("F", {1: 4, 2: 3, 3: 2})):
        mg = Multigrid(d, efetivo({"ciclo": tipo}, 1))
        cont, original = collections.Counter(), mg.ciclo

        def contar(k, t):
            cont[k] += 1
            original(k, t)
        mg.ciclo = contar
        mg.ciclo(4, tipo)
        if {k: cont[k] for k in (1, 2, 3)} != esperado:
            return "%s: %r" % (tipo, dict(cont))
    return None


def resolver_exato(nv):
    """O sistema do nível em frações exatas (Gauss denso), para conferir a solução direta."""
    pts, nx = nv.interiores(), nv.nx
    idx = {P: n for n, P in enumerate(pts)}
    m = len(pts)
    A = [[Fraction(0)] * (m + 1) for _ in range(m)]
    for n, P in enumerate(pts):
        A[n][n] = Fraction(nv.ap)
        A[n][m] = Fraction(nv.rhs[P])
        for Q, c in ((P - 1, nv.ae), (P + 1, nv.ae), (P - nx, nv.an), (P + nx, nv.an)):
            if Q in idx:
                A[n][idx[Q]] -= Fraction(c)
            else:
                A[n][m] += Fraction(c) * Fraction(nv.u[Q])
    for c in range(m):
        for r in range(c + 1, m):
            if A[r][c]:
                f = A[r][c] / A[c][c]
                A[r] = [a - f * b for a, b in zip(A[r], A[c])]
    x = [Fraction(0)] * m
    for r in range(m - 1, -1, -1):
        x[r] = (A[r][m] - sum(A[r][c] * x[c] for c in range(r + 1, m))) / A[r][r]
    return [float(v) for v in x]


def chk_direto():
    """A solução direta resolve o sistema do nível 1 (contorno como valor conhecido); com ela o ciclo de duas
    malhas converge mais que com uma varredura no nível 1."""
    rnd = random.Random(23)
    for nx, ny in ((7, 6), (3, 5), (6, 3)):
        nv = nivel_teste(nx, ny, rnd)
        exato = resolver_exato(nv)
        resolver_direto(nv)
        for P, x in zip(nv.interiores(), exato):
            if abs(nv.u[P] - x) > 1e-13 * max(1.0, abs(x)):
                return "%dx%d: %r x %r" % (nx, ny, nv.u[P], x)
    d = dict(nm=2, nx1=9, ny1=9, tolt=-1.0, itmax=4, nitm=1, problema=2, tipo_ci=0)
    a, b = razoes(d, {"grosso": 1})[4], razoes(d, {"grosso": "solve"})[4]
    if not b < 0.5 * a:
        return "duas malhas: grosso 1 %r, exato %r" % (a, b)
    return None


def chk_anisotropia():
    """Malha anisotrópica (an >> ae): line-y (colunas, acoplamento forte) converge muito mais que gs-lex."""
    d = dict(nm=1, nx1=5, ny1=33, tolt=-1.0, itmax=5, nitm=1, problema=2, tipo_ci=0)
    lex, lin = razoes(d, {})[5], razoes(d, {"suavizador": "line-y"})[5]
    alt = razoes(d, {"suavizador": "line-alt"})[5]
    if not (lin < 1e-2 * lex and alt < 1e-2 * lex):
        return "gs-lex %r, line-y %r, line-alt %r" % (lex, lin, alt)
    return None


def chk_bloco():
    """Bloco MÉTODO: '=' na coluna 19; ausente no método padrão; nm = 1 só com suavizador, omega e início."""
    d = dict(nm=3, nitm=2)
    cheio = dict(ciclo="W", fmg=True, pre=1, pos=3, grosso="solve", suavizador="jacobi", restricao="full",
                 inicio=4294967295)
    L = bloco_metodo(d, cheio)
    if L[:2] != ["", "     MÉTODO"] or len(L) != 12 or any(x[18] != "=" for x in L[2:]):
        return "bloco cheio %r" % L
    if "   8.00000000E-01 = omega: fator de relaxação" not in L or " 4294967295    " not in L[-1]:
        return "bloco cheio %r" % L
    if bloco_metodo(d, dict(ciclo="V", pre=2, grosso=2)) or bloco_metodo(dict(nm=1, nitm=2), dict(ciclo="W")):
        return "bloco no método padrão"
    L = bloco_metodo(dict(nm=1, nitm=2), dict(suavizador="line-x", inicio=None))
    if [x[:18] for x in L[2:]] != ["line-x            ", "aleatório         ", "          1       "]:
        return "nm = 1: %r" % L
    pre = "          0       = pré: varreduras antes da correção grossa"
    if bloco_metodo(dict(nm=2, nitm=-1), dict(pre=0))[4] != pre:
        return "pré"
    # o problema: só o que difere do padrão, depois do início; o problema da entrada pedido por --problem não conta
    L = bloco_metodo(dict(nm=1, nitm=1, problema=1), dict(eps=0.01, coeficiente=("random", 1e8, 7),
                                                           problema=("constant", -2.5)))
    if L[-3:] != ["   1.00000000E-02 = eps: o operador é eps*u_xx + u_yy",
                  "random:1e+08:7    = coeficiente: kappa por célula, o operador div(kappa grad u)",
                  "constant:-2.5     = problema: o de --problem, no lugar do da entrada"]:
        return "problema %r" % L
    if bloco_metodo(dict(nm=2, nitm=1, problema=7), dict(problema=("sinusoidal",))):
        return "o problema da entrada, dado por --problem, mostrado"
    if [texto_numero(v) for v in (1e8, 0.01, 1e-8, 1000.0, 100000.0, -2.5, 1.0 / 3.0)] != [
            "1e+08", "0.01", "1e-08", "1000", "1e+05", "-2.5", "0.3333333333333333"]:
        return "texto_numero"
    return None


def chk_comparador():
    """A comparação com tolerância aceita diferenças no piso de arredondamento e de 1e-9 em T, e recusa as
    maiores; a comparação byte a byte recusa todas."""
    d = dict(caso="c.lst", nm=2, nx1=3, ny1=4, tolt=-1.0, itmax=20, nitm=1, problema=2, tipo_ci=0, escreve=1,
             freq=1, titulo="t")
    m = dict(grosso="solve", ciclo="W")
    hist, T, nx, ny, maxT = resolver_metodo(d, m)
    esp = listagem_metodo(d, m, hist, T, nx, ny)
    fino = escala_residuo(d, m)
    A = 1e-11 * fino.ap * ((nx - 2) * (ny - 2)) * max(1.0, maxT)
    piso = [it for it in range(1, len(hist)) if hist[it] < A]
    if not piso or piso[0] < 3:
        return "o caso de teste não chega ao piso: %r" % hist
    grande = [it for it in range(1, len(hist)) if hist[it] > 1e7 * A]
    if len(grande) < 2:
        return "o caso de teste tem poucas iterações longe do piso: %r" % hist
    P = 2 + (ny // 2) * nx    # um valor interior de T
    variantes = [
        ([x + 0.5 * A if it in piso else x for it, x in enumerate(hist)], T, True),
        (hist, [t + 5e-10 for t in T], True),
        ([x * (1.0 + 1e-6) if it == 1 else x for it, x in enumerate(hist)], T, False),
        ([x * (1.0 + 1e-6) if it == grande[-1] else x for it, x in enumerate(hist)], T, False),
        (hist, T[:P] + [T[P] + 1e-6] + T[P + 1:], False),
    ]
    for n, (h2, T2, aceita) in enumerate(variantes):
        mud = listagem_metodo(d, m, h2, T2, nx, ny)
        if diferenca(mud, esp) is None:
            return "variante %d não muda a listagem" % n
        if (comparar_tolerante(mud, esp, d, m, hist, T, maxT, fino) is None) != aceita:
            return "variante %d: esperado %s" % (n, "aceitar" if aceita else "recusar")
    h = esp.index(CABECALHO) + 2
    if comparar_tolerante(esp[:h + 3] + esp[h + 4:], esp, d, m, hist, T, maxT, fino) is None:
        return "aceitou uma iteração a menos"
    if comparar_tolerante(esp[:5] + [esp[5].replace("2", "3")] + esp[6:], esp, d, m, hist, T, maxT, fino) is None:
        return "aceitou uma linha de dados mudada"
    return None


def chk_veredito():
    """Os quatro vereditos de histórias feitas à mão e a parada do modelo no primeiro ciclo acima de 1e6."""
    d = dict(tolt=1e-8, itmax=30)
    casos = [([1.0, 0.1, 1e-9], "convergiu"), ([1.0, 10.0, 2e6], "divergiu"), ([2.0, math.nan], "divergiu"),
             ([0.0, 0.0, 0.0], "convergiu"), ([1.0] + [0.6 ** k for k in range(1, 31)], "parou"),
             ([1.0] + [0.99 ** k for k in range(1, 31)], "estagnou"), ([1.0], "parou")]
    for h, v in casos:
        if vereditos(d, h) != (v,):
            return "%r: %r, esperado %s" % (h[:4], vereditos(d, h), v)
    if not divergiu(1.0, 1e6 * (1 + 2 ** -52)) or divergiu(1.0, 1e6) or divergiu(0.0, 5.0):
        return "teste de divergência"
    d = dict(nm=4, nx1=3, ny1=3, tolt=1e-8, itmax=50, nitm=2, problema=2, tipo_ci=0)
    h = resolver_metodo(d, dict(suavizador="gs-rb"))[0]
    if not (h[-1] / h[0] > 1e6 and all(x / h[0] <= 1e6 for x in h[:-1]) and len(h) < 51):
        return "gs-rb com injeção: %d ciclos, razão final %g" % (len(h) - 1, h[-1] / h[0])
    return None


def chk_operador_variavel():
    """Com kappa = 1 o operador variável é o constante a menos do arredondamento (a soma é outra), simétrico, com a
    diagonal igual à soma dos acoplamentos; com kappa = C constante, C vezes o constante."""
    rnd = random.Random(29)
    for nx, ny, eps in ((9, 7, 1.0), (5, 9, 0.01), (17, 3, 3.0)):
        for C in (1.0, 1e3):
            kap = [C] * ((nx - 1) * (ny - 1) + 1)
            a = nivel_teste(nx, ny, rnd)
            b = Nivel(list(a.u), 0, a.rhs, nx, ny, eps, kap)
            a = Nivel(list(a.u), 0, a.rhs, nx, ny, eps)
            for P in b.interiores():
                if (b.apv[P] != (b.ax[P] + b.ax[P + 1]) + (b.ay[P] + b.ay[P + nx])
                        or abs(b.ax[P] - C * a.ae) > 1e-15 * C * a.ae or abs(b.ay[P] - C * a.an) > 1e-15 * C * a.an):
                    return "coeficientes %dx%d C %r" % (nx, ny, C)
            if C != 1.0:
                continue
            for nome in SUAVIZADORES:
                x, y = Nivel(list(a.u), 0, a.rhs, nx, ny, eps), Nivel(list(a.u), 0, a.rhs, nx, ny, eps, kap)
                suavizar(x, efetivo({"suavizador": nome}, 1), 2)
                suavizar(y, efetivo({"suavizador": nome}, 1), 2)
                if any(abs(p - q) > 1e-12 * max(1.0, abs(p)) for p, q in zip(x.u, y.u)):
                    return "%s com kappa = 1, %dx%d" % (nome, nx, ny)
    return None


def chk_campos():
    """Os campos de kappa numa grade de 9 x 9 pontos (8 x 8 células): o salto nas 4 x 4 do meio, o xadrez 2 x 2 em
    quadrantes, 4 camadas de 2 linhas de células, o aleatório em [1/C, C]; e a média de 2 x 2 células."""
    def matriz(c):
        k = campo_kappa(c, 9, 9)
        return ["".join("C" if k[I + (J - 1) * 8] == 5.0 else "." for I in range(1, 9)) for J in range(8, 0, -1)]
    meio = ["........"] * 2 + ["..CCCC.."] * 4 + ["........"] * 2
    if matriz(("jump", 5.0)) != meio:
        return "salto %r" % matriz(("jump", 5.0))
    if matriz(("checker", 5.0, 2)) != ["CCCC...."] * 4 + ["....CCCC"] * 4:
        return "xadrez %r" % matriz(("checker", 5.0, 2))
    if matriz(("layers", 5.0, 4)) != ["CCCCCCCC"] * 2 + ["........"] * 2 + ["CCCCCCCC"] * 2 + ["........"] * 2:
        return "camadas %r" % matriz(("layers", 5.0, 4))
    k = campo_kappa(("random", 100.0, 3), 9, 9)[1:]
    if not all(0.01 <= v <= 100.0 for v in k) or max(k) < 10.0 or min(k) > 0.1:
        return "aleatório %r" % k
    g = media_celulas(campo_kappa(("jump", 5.0), 9, 9), 9, 9)
    if g[1:] != [1.0, 1.0, 1.0, 1.0, 1.0, 5.0, 5.0, 1.0, 1.0, 5.0, 5.0, 1.0, 1.0, 1.0, 1.0, 1.0]:
        return "média %r" % g
    return None


def chk_solucao_manufaturada():
    """sin:KX:KY: a solução discreta é (c/lambda) sin(kx x) sin(ky y), autovetor do operador de cinco pontos; os
    ciclos chegam a ela, com qualquer eps; e a solução exata satisfaz a equação contínua (erro O(h^2))."""
    for kx, ky, eps in ((1, 2, 1.0), (3, 1, 0.1), (2, 2, 5.0)):
        d = dict(nm=4, nx1=5, ny1=3, tolt=1e-14, itmax=40, nitm=2, problema=2, tipo_ci=0)
        m = {"problema": ("sin", kx, ky), "eps": eps, "suavizador": "gs-rb", "restricao": "full"}
        _, T, nx, ny, _ = resolver_metodo(d, m)
        dx, dy = 1.0 / (nx - 1), 1.0 / (ny - 1)
        _, _, ae, an, _ = coef(nx, ny, eps)
        a, b = kx * PI, ky * PI
        lam = 4.0 * ae * math.sin(0.5 * a * dx) ** 2 + 4.0 * an * math.sin(0.5 * b * dy) ** 2
        c = eps * a * a + b * b
        pior = erro = 0.0
        for j in range(2, ny):
            for i in range(2, nx):
                s_ = math.sin(a * (i - 1) * dx) * math.sin(b * (j - 1) * dy)
                pior = max(pior, abs(T[i + (j - 1) * nx] - (c / lam) * s_))
                erro = max(erro, abs(T[i + (j - 1) * nx] - exata_em(("sin", kx, ky), eps, (i - 1) * dx, (j - 1) * dy)))
        if pior > 1e-12 or not 1e-6 < erro < 0.1:
            return "sin:%d:%d eps %r: discreta %r, exata %r" % (kx, ky, eps, pior, erro)
    return None


def chk_krylov():
    """Seção 13 à mão: 2 x 2 incógnitas (h = 1/3), contorno de cima sin(pi x), uma varredura de jacobi como B (um
    múltiplo da identidade): o cg dá hist(1)/hist(0) = 1/3 e resolve em 2 passos, x = s (1, 1, 3, 3)/8; o gmres dá
    0.4 no primeiro passo; o bicgstab, na primeira metade, o mesmo passo do cg."""
    d = dict(nm=1, nx1=4, ny1=4, tolt=0.0, itmax=1, nitm=1, problema=2, tipo_ci=0)
    s_ = math.sin(PI / 3.0)
    for k, razao in (("cg", 1.0 / 3.0), ("bicgstab", 1.0 / 3.0), ("gmres", 0.4)):
        hist, _, _, _, _ = resolver_metodo(d, {"suavizador": "jacobi", "krylov": k})
        if abs(hist[1] / hist[0] - razao) > 1e-14:
            return "%s: hist(1)/hist(0) = %r" % (k, hist[1] / hist[0])
    hist, T, _, _, _ = resolver_metodo(dict(d, itmax=2), {"suavizador": "jacobi", "krylov": "cg"})
    esperado = {6: s_ / 8, 7: s_ / 8, 10: 3 * s_ / 8, 11: 3 * s_ / 8}
    if any(abs(T[P] - v) > 1e-14 for P, v in esperado.items()) or hist[2] > 1e-13 * hist[0]:
        return "cg em dois passos: %r" % [T[P] for P in esperado]
    return None


def autoteste():
    falhas = 0
    verificacoes = (chk_regressao, chk_linha_exata, chk_rb_ordem, chk_gs_sym, chk_jacobi, chk_gerador,
                    chk_restricao_constante, chk_ciclos, chk_visitas, chk_direto, chk_anisotropia, chk_bloco,
                    chk_comparador, chk_veredito, chk_operador_variavel, chk_campos, chk_solucao_manufaturada,
                    chk_krylov)
    for chk in verificacoes:
        t = time.time()
        r = chk()
        print("%-26s %s (%.1f s)" % (chk.__name__, "ok" if r is None else "FALHOU: " + r, time.time() - t))
        falhas += r is not None
    print("%d verificações, %d falhas" % (len(verificacoes), falhas))
    return 1 if falhas else 0


def main():
    if sys.argv[1:] == ["--autoteste"]:
        return autoteste()
    placa = os.path.abspath(sys.argv[1])
    n = int(sys.argv[2]) if len(sys.argv) > 2 else 60
    rnd = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 20261208)
    rnd_krylov = random.Random(int(sys.argv[3]) + 1 if len(sys.argv) > 3 else 20261209)   # sem mexer nos outros
    rnd_ordem = random.Random(int(sys.argv[3]) + 2 if len(sys.argv) > 3 else 20261210)
    falhas = tolerantes = recusados = 0
    with tempfile.TemporaryDirectory() as dir_:
        amb = {k: v for k, v in os.environ.items() if k not in ("EDITOR", "VISUAL")}
        for c in range(n):
            d = caso_aleatorio(rnd, c)
            m = krylov_aleatorio(rnd_krylov, problema_aleatorio(rnd, d, metodo_aleatorio(rnd, d["nm"])))
            m = ordem_aleatoria(rnd_ordem, d, m)
            with open(os.path.join(dir_, "tervano3.ent"), "wb") as f:
                f.write(escrever_entrada(d, c % 2 == 1))
            listagem_do_caso = os.path.join(dir_, d["caso"])
            if os.path.exists(listagem_do_caso):
                os.unlink(listagem_do_caso)
            # tipo_ci = 2: o campo de partida escrito aqui, lido pelo placa
            partida, extra = None, []
            if reinicio_usado(d, m) and not recusa(d, m):
                partida = escrever_reinicio(os.path.join(dir_, "reinicio.npy"), d, m, c)
                extra = ["--restart", "reinicio.npy"]
            r = subprocess.run([placa] + opcoes(m) + extra, cwd=dir_, env=amb, stdin=subprocess.DEVNULL,
                               capture_output=True)
            esperado = recusa(d, m)
            if esperado:
                recusados += 1
                if r.returncode != esperado or os.path.exists(listagem_do_caso) or not r.stderr.startswith(b"placa: "):
                    falhas += 1
                    print("caso %d (%s): devia ser recusado com %d, deu %d: %s" % (
                        c, " ".join(opcoes(m)), esperado, r.returncode, r.stderr.decode()))
                continue
            hist, T, nx, ny, maxT = resolver_metodo(d, m, partida)
            v = vereditos(d, hist) if RUPTURA[0] is None else ("divergiu",)
            # uma rodada que diverge escreve as saídas e sai com 3, dizendo-o no erro padrão
            esperado = 3 if v == ("divergiu",) else 0
            tolerante = d["nm"] >= 2 and efetivo(m, d["nitm"])["grosso"] == "solve"
            if r.returncode != esperado and not (tolerante and r.returncode in (0, 3)):
                print("caso %d (%s): código %d, esperado %d: %s" % (c, " ".join(opcoes(m)), r.returncode, esperado,
                                                                   r.stderr.decode()))
                falhas += 1
                continue
            if (r.returncode == 3) != (b"the solve diverged" in r.stderr):
                print("caso %d (%s): código %d e erro padrão %r" % (c, " ".join(opcoes(m)), r.returncode, r.stderr))
                falhas += 1
                continue
            with open(os.path.join(dir_, d["caso"]), "rb") as f:
                obtida = f.read().decode("latin-1").split("\r\n")
            esperadas = [listagem_metodo(d, m, hist, T, nx, ny, x) for x in v]
            esperada = next((x for x in esperadas if x == obtida[4:-2]), esperadas[0])
            # linhas 1-4: vazia, cabeçalho, vazia, data; a penúltima é o tempo de CPU
            corpo = obtida[4:-2]
            if tolerante:
                tolerantes += 1
                dif = comparar_tolerante(corpo, esperada, d, m, hist, T, maxT, escala_residuo(d, m))
            else:
                dif = diferenca(corpo, esperada)
            if dif or obtida[-1] != "" or not obtida[-2].endswith(" = tempo de CPU (segundos)"):
                falhas += 1
                print("caso %d difere: %r, opções %r" % (c, d, " ".join(opcoes(m))))
                print(dif or "  fim da listagem")
    print("%d casos, %d diferenças (%d com --coarsest solve, comparados com tolerância; %d recusados como devem)"
          % (n, falhas, tolerantes, recusados))
    return 1 if falhas else 0


if __name__ == "__main__":
    sys.exit(main())
