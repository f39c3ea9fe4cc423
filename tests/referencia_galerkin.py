"""O modelo independente de doc/metodo.md, 12.4 a 12.6: a restrição transposta e as de uma direção, os pesos R(C, p),
o produto de Galerkin R A P e a solução direta de um nível de nove pontos (com tolerância). Escrito da página."""
from referencia_robusta import CENTRO, estencil, constante, pos, bilinear_fixo


def peso_de(pesos, p, tipo):
    return pesos.de(p, tipo) if pesos is not None else (
        bilinear_fixo()[0] if tipo == "x" else bilinear_fixo()[1] if tipo == "y" else bilinear_fixo()[2])


def restringir_geral(fino, grosso, tipo, eng, pesos, r):
    """Seção 12.4: a transposta (engrossamento completo) e as de uma direção; r(p) o resíduo no ponto local p."""
    nx, nxc = fino.nx, grosso.nx
    for J in range(2, grosso.ny):
        for I in range(2, nxc):
            if eng == "full":
                P = (2 * I - 1) + (2 * J - 2) * nx
                oE = peso_de(pesos, P - 1, "x")[1]
                oW = peso_de(pesos, P + 1, "x")[0]
                oN = peso_de(pesos, P - nx, "y")[1]
                oS = peso_de(pesos, P + nx, "y")[0]
                oNE = peso_de(pesos, P - nx - 1, "c")[3]
                oNW = peso_de(pesos, P - nx + 1, "c")[2]
                oSE = peso_de(pesos, P + nx - 1, "c")[1]
                oSW = peso_de(pesos, P + nx + 1, "c")[0]
                t = (((r(P) + (oE * r(P - 1) + oW * r(P + 1))) + (oN * r(P - nx) + oS * r(P + nx)))
                     + ((oNE * r(P - nx - 1) + oNW * r(P - nx + 1)) + (oSE * r(P + nx - 1) + oSW * r(P + nx + 1))))
                v = t * 0.25
            else:
                if eng == "x":
                    P, passo, lado = (2 * I - 1) + (J - 1) * nx, 1, "x"
                else:
                    P, passo, lado = I + (2 * J - 2) * nx, nx, "y"
                if tipo == "injection":
                    v = r(P)
                elif tipo == "full":
                    v = (2.0 * r(P) + (r(P - passo) + r(P + passo))) * 0.25
                else:
                    a = peso_de(pesos, P - passo, lado)[1]
                    b = peso_de(pesos, P + passo, lado)[0]
                    v = (r(P) + (a * r(P - passo) + b * r(P + passo))) * 0.5
            grosso.rhs[grosso.o + I + (J - 1) * nxc] = v


def pais(qi, qj, eng, w):
    """Os pais do ponto fino de deslocamento (qi, qj) a partir do fino de C: (dI, dJ, peso); w(tipo) os pesos."""
    if eng == "x":
        if qi % 2 == 0:
            return [(qi // 2, qj, 1.0)]
        a = w("x")
        return [((qi - 1) // 2, qj, a[0]), ((qi + 1) // 2, qj, a[1])]
    if eng == "y":
        if qj % 2 == 0:
            return [(qi, qj // 2, 1.0)]
        a = w("y")
        return [(qi, (qj - 1) // 2, a[0]), (qi, (qj + 1) // 2, a[1])]
    pi, pj = qi % 2 == 0, qj % 2 == 0
    if pi and pj:
        return [(qi // 2, qj // 2, 1.0)]
    if pj:
        a = w("x")
        return [((qi - 1) // 2, qj // 2, a[0]), ((qi + 1) // 2, qj // 2, a[1])]
    if pi:
        a = w("y")
        return [(qi // 2, (qj - 1) // 2, a[0]), (qi // 2, (qj + 1) // 2, a[1])]
    a = w("c")
    return [((qi - 1) // 2, (qj - 1) // 2, a[0]), ((qi + 1) // 2, (qj - 1) // 2, a[1]),
            ((qi - 1) // 2, (qj + 1) // 2, a[2]), ((qi + 1) // 2, (qj + 1) // 2, a[3])]


def suporte(tipo, eng, wq):
    """Seção 12.4: o suporte de R(C, .) em ordem (j externo, i interno): (di, dj, R); wq(di, dj, tipo) o peso do
    ponto fino (di, dj) visto de C."""
    if tipo == "injection":
        return [(0, 0, 1.0)]
    if eng != "full":
        s = []
        for d in (-1, 0, 1):
            di, dj = (d, 0) if eng == "x" else (0, d)
            if tipo == "full":
                rr = 0.5 if d == 0 else 0.25
            else:
                rr = 1.0 * 0.5 if d == 0 else wq(di, dj) * 0.5
            s.append((di, dj, rr))
        return s
    s = []
    for dj in (-1, 0, 1):
        for di in (-1, 0, 1):
            b = (di != 0) + (dj != 0)
            if tipo == "half":
                if b == 2:
                    continue
                rr = 0.5 if b == 0 else 0.125
            elif tipo == "full":
                rr = 0.25 if b == 0 else 0.125 if b == 1 else 0.0625
            else:
                rr = (1.0 if b == 0 else wq(di, dj)) * 0.25
            s.append((di, dj, rr))
    return s


def galerkin(fino, pesos, tipo, eng, nxc, nyc):
    """Seção 12.5: o operador do nível grosso (nxc x nyc); uma tupla (constante) ou nove listas por ponto local."""
    nx = fino.nx
    cinco = fino.c9 is None
    ordem = [(0, -1), (-1, 0), (0, 0), (1, 0), (0, 1)] if cinco else [(di, dj) for dj in (-1, 0, 1) for di in (-1, 0, 1)]

    def no_ponto(ic, jc):
        # ic, jc: o ponto fino de C; pesos de um ponto fino e estêncil por deslocamento a partir dele
        const = constante(fino)
        Pc = ic + (jc - 1) * nx

        def tipo_de(qi, qj):
            if eng == "x":
                return "x"
            if eng == "y":
                return "y"
            return "x" if qj % 2 == 0 else "y" if qi % 2 == 0 else "c"

        def w_em(qi, qj):
            return lambda t: peso_de(pesos, 0 if const else Pc + qi + qj * nx, t)

        def wq(di, dj):
            # o peso com que o ponto (di, dj) interpola de C: C é o pai do lado oposto
            t = tipo_de(di, dj)
            a = w_em(di, dj)(t)
            if t == "x":
                return a[1] if di < 0 else a[0]
            if t == "y":
                return a[1] if dj < 0 else a[0]
            return a[(1 if di < 0 else 0) + (2 if dj < 0 else 0)]
        G = [0.0] * 9
        for (pi_, pj_, rr) in suporte(tipo, eng, wq):
            a = estencil(fino, 0 if const else Pc + pi_ + pj_ * nx)
            t = [0.0] * 9
            for (di, dj) in ordem:
                g = pos(di, dj)
                apq = a[CENTRO] if g == CENTRO else -a[g]
                qi, qj = pi_ + di, pj_ + dj
                for (dI, dJ, w) in pais(qi, qj, eng, w_em(qi, qj)):
                    gd = pos(dI, dJ)
                    t[gd] = t[gd] + apq * w
            for gd in range(9):
                G[gd] = G[gd] + rr * t[gd]
        return tuple(G[g] if g == CENTRO else -G[g] for g in range(9))

    if constante(fino):
        return no_ponto(0, 0)
    n = nxc * nyc + 1
    c9 = [[0.0] * n for _ in range(9)]
    for J in range(2, nyc):
        for I in range(2, nxc):
            ic = I if eng == "y" else 2 * I - 1
            jc = J if eng == "x" else 2 * J - 1
            c = no_ponto(ic, jc)
            for g in range(9):
                c9[g][I + (J - 1) * nxc] = c[g]
    return c9


def resolver_nove(nv):
    """Seção 12.6 (qualquer fatoração correta; comparada com tolerância): eliminação de Gauss densa."""
    if nv.vazio():
        return
    u, o, nx, ny = nv.u, nv.o, nv.nx, nv.ny
    pts = nv.interiores()
    idx = {P: n for n, P in enumerate(pts)}
    m = len(pts)
    A = [[0.0] * m for _ in range(m)]
    b = [0.0] * m
    for n, P in enumerate(pts):
        c = estencil(nv, P - o)
        A[n][n] = c[CENTRO]
        s = nv.rhs[P] if nv.rhs is not None else 0.0
        for dj in (-1, 0, 1):
            for di in (-1, 0, 1):
                if di == 0 and dj == 0:
                    continue
                Q = P + di + dj * nx
                if Q in idx:
                    A[n][idx[Q]] = -c[pos(di, dj)]
                else:
                    s = s + c[pos(di, dj)] * u[Q]
        b[n] = s
    for k in range(m):
        for r in range(k + 1, m):
            if A[r][k] != 0.0:
                f = A[r][k] / A[k][k]
                for c in range(k, m):
                    A[r][c] -= f * A[k][c]
                b[r] -= f * b[k]
    x = [0.0] * m
    for r in range(m - 1, -1, -1):
        s = b[r]
        for c in range(r + 1, m):
            s -= A[r][c] * x[c]
        x[r] = s / A[r][r]
    for P, v in zip(pts, x):
        u[P] = v
