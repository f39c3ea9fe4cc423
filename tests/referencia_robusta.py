"""O modelo independente da seção 12 de doc/metodo.md (a correção grossa robusta): os níveis do semiengrossamento, o
operador de nove pontos e os seus núcleos, a interpolação dependente do operador, a restrição transposta e as de uma
direção, os operadores de Galerkin e a solução direta de um nível de nove pontos. Escrito a partir da página, não
do C++; referencia.py o usa."""

# Posições do estêncil de nove pontos, j externo, i interno: 0 sw, 1 s, 2 se, 3 w, 4 p, 5 e, 6 nw, 7 n, 8 ne.
CENTRO = 4


def pos(di, dj):
    return (dj + 1) * 3 + (di + 1)


def tamanhos(nx1, ny1, nm, eng):
    """Seção 12.1: nxg, nyg (índices 1..nm) a partir do mais fino."""
    nxf, nyf = (nx1 - 1) * 2 ** (nm - 1) + 1, (ny1 - 1) * 2 ** (nm - 1) + 1
    nxg, nyg = [0] * (nm + 1), [0] * (nm + 1)
    nxg[nm], nyg[nm] = nxf, nyf
    for k in range(nm - 1, 0, -1):
        nxg[k] = (nxg[k + 1] - 1) // 2 + 1 if eng in ("full", "x") else nxf
        nyg[k] = (nyg[k + 1] - 1) // 2 + 1 if eng in ("full", "y") else nyf
    return nxg, nyg


def media_semi(kap, nx, ny, eng):
    """Seção 12.1: o campo levado ao nível de baixo no semiengrossamento (duas células finas por célula grossa)."""
    cf = nx - 1
    k = lambda I, J: kap[I + (J - 1) * cf]
    cx = (nx - 1) // 2 if eng == "x" else nx - 1
    cy = (ny - 1) // 2 if eng == "y" else ny - 1
    g = [0.0] * (cx * cy + 1)
    for J in range(1, cy + 1):
        for I in range(1, cx + 1):
            if eng == "x":
                v = (k(2 * I - 1, J) + k(2 * I, J)) * 0.5
            else:
                v = (k(I, 2 * J - 1) + k(I, 2 * J)) * 0.5
            g[I + (J - 1) * cx] = v
    return g


def estencil(nv, p):
    """Seção 12.2: os nove números do ponto local p (a diagonal em CENTRO, os acoplamentos com o sinal de ae)."""
    if nv.c9 is not None:
        if isinstance(nv.c9, tuple):
            return nv.c9
        return [nv.c9[g][p] for g in range(9)]
    if nv.var:
        nx = nv.nx
        return (0.0, nv.ay[p], 0.0, nv.ax[p], nv.apv[p], nv.ax[p + 1], 0.0, nv.ay[p + nx], 0.0)
    return (0.0, nv.an, 0.0, nv.ae, nv.ap, nv.ae, 0.0, nv.an, 0.0)


def constante(nv):
    return (nv.c9 is None and not nv.var) or isinstance(nv.c9, tuple)


def valor_nove(nv, a, P):
    """Seção 12.2: o valor de ponto do estêncil de nove pontos (uma divisão)."""
    nx, c = nv.nx, estencil(nv, P - nv.o)
    y = c[1] * a[P - nx] + c[7] * a[P + nx]
    x = c[3] * a[P - 1] + c[5] * a[P + 1]
    d = (c[0] * a[P - nx - 1] + c[2] * a[P - nx + 1]) + (c[6] * a[P + nx - 1] + c[8] * a[P + nx + 1])
    s = (y + x) + d
    if nv.rhs is not None:
        s = s + nv.rhs[P]
    return s / c[CENTRO]


def thomas_geral(b, l, r, d):
    """Seção 12.2: b(n) x(n) - l(n) x(n-1) - r(n) x(n+1) = d(n)."""
    m = len(d)
    w, g, h = [0.0] * m, [0.0] * m, [0.0] * m
    w[0] = b[0]
    g[0] = r[0] / w[0]
    h[0] = d[0] / w[0]
    for n in range(1, m):
        w[n] = b[n] - l[n] * g[n - 1]
        g[n] = r[n] / w[n]
        h[n] = (d[n] + l[n] * h[n - 1]) / w[n]
    x = [0.0] * m
    x[m - 1] = h[m - 1]
    for n in range(m - 2, -1, -1):
        x[n] = h[n] + g[n] * x[n + 1]
    return x


def linha_x_nove(nv):
    u, o, rhs, nx = nv.u, nv.o, nv.rhs, nv.nx
    for j in range(2, nv.ny):
        b, l, r, d = [], [], [], []
        for i in range(2, nx):
            P = o + i + (j - 1) * nx
            c = estencil(nv, P - o)
            t = (c[1] * u[P - nx] + c[7] * u[P + nx]) + ((c[0] * u[P - nx - 1] + c[2] * u[P - nx + 1])
                                                         + (c[6] * u[P + nx - 1] + c[8] * u[P + nx + 1]))
            if rhs is not None:
                t = t + rhs[P]
            b.append(c[CENTRO]), l.append(c[3]), r.append(c[5]), d.append(t)
        P1, Pm = o + 2 + (j - 1) * nx, o + nx - 1 + (j - 1) * nx
        d[0] = d[0] + l[0] * u[P1 - 1]
        d[-1] = d[-1] + r[-1] * u[Pm + 1]
        for i, x in zip(range(2, nx), thomas_geral(b, l, r, d)):
            u[o + i + (j - 1) * nx] = x


def linha_y_nove(nv):
    u, o, rhs, nx, ny = nv.u, nv.o, nv.rhs, nv.nx, nv.ny
    for i in range(2, nx):
        b, l, r, d = [], [], [], []
        for j in range(2, ny):
            P = o + i + (j - 1) * nx
            c = estencil(nv, P - o)
            t = (c[3] * u[P - 1] + c[5] * u[P + 1]) + ((c[0] * u[P - nx - 1] + c[6] * u[P + nx - 1])
                                                       + (c[2] * u[P - nx + 1] + c[8] * u[P + nx + 1]))
            if rhs is not None:
                t = t + rhs[P]
            b.append(c[CENTRO]), l.append(c[1]), r.append(c[7]), d.append(t)
        P1, Pm = o + i + nx, o + i + (ny - 2) * nx
        d[0] = d[0] + l[0] * u[P1 - nx]
        d[-1] = d[-1] + r[-1] * u[Pm + nx]
        for j, x in zip(range(2, ny), thomas_geral(b, l, r, d)):
            u[o + i + (j - 1) * nx] = x


def residuo_nove(nv, p):
    """Seção 12.2: o resíduo passado para baixo no ponto local interior p."""
    u, P, nx, c = nv.u, nv.o + p, nv.nx, estencil(nv, p)
    x = c[3] * u[P - 1] + c[5] * u[P + 1]
    y = c[1] * u[P - nx] + c[7] * u[P + nx]
    d = (c[0] * u[P - nx - 1] + c[2] * u[P - nx + 1]) + (c[6] * u[P + nx - 1] + c[8] * u[P + nx + 1])
    if nv.rhs is None:
        return ((x + y) + d) - c[CENTRO] * u[P]
    return (((nv.rhs[P] + x) + y) + d) - c[CENTRO] * u[P]


# --- 12.3: interpolação -------------------------------------------------------------------------------------------

def pesos_aresta(c, lado):
    """Os dois pesos de uma aresta x (oeste, leste) ou y (sul, norte) de um estêncil."""
    if lado == "x":
        e = (c[CENTRO] - c[1]) - c[7]
        return ((c[0] + c[3]) + c[6]) / e, ((c[2] + c[5]) + c[8]) / e
    e = (c[CENTRO] - c[3]) - c[5]
    return ((c[0] + c[1]) + c[2]) / e, ((c[6] + c[7]) + c[8]) / e


def pesos_centro(c, S, N, W, E):
    """Os quatro pesos de um centro; S, N: (oeste, leste) das arestas x ao sul e ao norte; W, E: (sul, norte)."""
    ap = c[CENTRO]
    return (((c[0] + c[1] * S[0]) + c[3] * W[0]) / ap, ((c[2] + c[1] * S[1]) + c[5] * E[0]) / ap,
            ((c[6] + c[7] * N[0]) + c[3] * W[1]) / ap, ((c[8] + c[7] * N[1]) + c[5] * E[1]) / ap)


class Pesos:
    """Os pesos com que cada ponto do nível fino interpola dos seus pais: o(p) devolve os pesos do ponto local p
    (aresta: (w0, w1); centro: (sw, se, nw, ne)); None é a bilinear."""

    def __init__(self, fino, eng):
        self.eng = eng
        nx, ny = fino.nx, fino.ny
        if constante(fino):
            c = estencil(fino, 0)
            ax, ay = pesos_aresta(c, "x"), pesos_aresta(c, "y")
            self.fixo = (ax, ay, pesos_centro(c, ax, ax, ay, ay))
            return
        self.fixo = None
        self.g = {}
        ex, ey = eng != "y", eng != "x"
        for j in range(1, ny + 1):
            for i in range(1, nx + 1):
                p = i + (j - 1) * nx
                cx = ex and i % 2 == 0 and (not ey or j % 2 == 1)
                cy = ey and j % 2 == 0 and (not ex or i % 2 == 1)
                if not (cx or cy):
                    continue
                if i == 1 or i == nx or j == 1 or j == ny:
                    self.g[p] = (0.5, 0.5)
                else:
                    self.g[p] = pesos_aresta(estencil(fino, p), "x" if cx else "y")
        if ex and ey:
            for j in range(2, ny, 2):
                for i in range(2, nx, 2):
                    p = i + (j - 1) * nx
                    self.g[p] = pesos_centro(estencil(fino, p), self.g[p - nx], self.g[p + nx], self.g[p - 1],
                                             self.g[p + 1])

    def de(self, p, tipo):
        """tipo: 'x' aresta x, 'y' aresta y, 'c' centro."""
        if self.fixo is not None:
            return self.fixo[0] if tipo == "x" else self.fixo[1] if tipo == "y" else self.fixo[2]
        return self.g[p]


def bilinear_fixo():
    return ((0.5, 0.5), (0.5, 0.5), (0.25, 0.25, 0.25, 0.25))


def prolongar_geral(grosso, fino, pesos, eng):
    """Seção 12.3: destination += v em cada ponto interior fino; pesos None: bilinear/linear."""
    c0, nxc, nx = grosso.o, grosso.nx, fino.nx
    cor, dest = grosso.u, fino.u
    for j in range(2, fino.ny):
        for i in range(2, nx):
            p = i + (j - 1) * nx
            if eng == "x":
                c = c0 + (i - 1) // 2 + 1 + (j - 1) * nxc
                if i % 2:
                    v = cor[c]
                elif pesos is None:
                    v = 0.5 * (cor[c] + cor[c + 1])
                else:
                    w = pesos.de(p, "x")
                    v = w[0] * cor[c] + w[1] * cor[c + 1]
            elif eng == "y":
                c = c0 + i + ((j - 1) // 2) * nxc
                if j % 2:
                    v = cor[c]
                elif pesos is None:
                    v = 0.5 * (cor[c] + cor[c + nxc])
                else:
                    w = pesos.de(p, "y")
                    v = w[0] * cor[c] + w[1] * cor[c + nxc]
            else:
                c = c0 + (i - 1) // 2 + 1 + ((j - 1) // 2) * nxc
                if i % 2 and j % 2:
                    v = cor[c]
                elif j % 2:
                    w = pesos.de(p, "x")
                    v = w[0] * cor[c] + w[1] * cor[c + 1]
                elif i % 2:
                    w = pesos.de(p, "y")
                    v = w[0] * cor[c] + w[1] * cor[c + nxc]
                else:
                    w = pesos.de(p, "c")
                    v = (w[0] * cor[c] + w[1] * cor[c + 1]) + (w[2] * cor[c + nxc] + w[3] * cor[c + nxc + 1])
            dest[fino.o + p] += v
