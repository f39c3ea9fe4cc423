"""A aceleração de Krylov (doc/metodo.md, seção 13), escrita a partir do texto: cg, bicgstab em meias iterações e
gmres:M à direita, com o ciclo do modelo como precondicionador B. Cada método é um objeto com iterar(), que faz um
passo (um B) sobre o campo do nível mais fino; uma ruptura fica em `ruptura` (texto igual ao da listagem)."""
import math


def texto(v):
    """O número como na mensagem de ruptura (std::to_chars, a forma mais curta)."""
    import referencia
    return referencia.texto_numero(v)


class Espaco:
    """O nível mais fino (um Nivel do modelo, deslocamento 0) e o ciclo que precondiciona."""

    def __init__(self, nv, ciclo):
        self.nv, self.ciclo = nv, ciclo
        self.pts = nv.interiores()
        self.n = nv.nx * nv.ny

    def vetor(self):
        return [0.0] * (self.n + 1)

    def dot(self, u, v):
        s = 0.0
        for P in self.pts:
            s = s + u[P] * v[P]
        return s

    def norma2(self, u):
        return math.sqrt(self.dot(u, u))

    def a(self, u, P):
        """a(P) de 5.1 sem fonte."""
        nv, nx = self.nv, self.nv.nx
        if nv.var:
            y = nv.ay[P] * u[P - nx] + nv.ay[P + nx] * u[P + nx]
            x = nv.ax[P] * u[P - 1] + nv.ax[P + 1] * u[P + 1]
            return (nv.apv[P] * u[P] - y) - x
        return (nv.ap * u[P] - nv.an * (u[P - nx] + u[P + nx])) - nv.ae * (u[P - 1] + u[P + 1])

    def A(self, w, q):
        for P in self.pts:
            q[P] = self.a(w, P)

    def residuo(self, r):
        T, f = self.nv.u, self.nv.rhs
        for P in self.pts:
            a = self.a(T, P)
            if f is not None:
                a = a - f[P]
            r[P] = -a

    def B(self, v):
        """z = um ciclo sobre um campo zero com v como fonte; T e a fonte voltam."""
        nv = self.nv
        u, f = nv.u, nv.rhs
        z = self.vetor()
        nv.u, nv.rhs = z, v
        try:
            self.ciclo()
        finally:
            nv.u, nv.rhs = u, f
        return z


def rompe(d):
    return d == 0.0 or not math.isfinite(d)


class CG:
    def __init__(self, s):
        self.s, self.ruptura, self.est = s, None, 0.0
        self.r = s.vetor()
        s.residuo(self.r)
        self.p, self.rz, self.primeiro = s.vetor(), 0.0, True

    def iterar(self):
        s, r, p = self.s, self.r, self.p
        if s.dot(r, r) == 0.0:
            self.est = 0.0
            return
        z = s.B(r)
        rz1 = s.dot(r, z)
        if rompe(rz1):
            self.ruptura = "cg: r.z = " + texto(rz1)
            return
        if self.primeiro:
            for P in s.pts:
                p[P] = z[P]
        else:
            beta = rz1 / self.rz
            for P in s.pts:
                p[P] = z[P] + beta * p[P]
        self.rz, self.primeiro = rz1, False
        q = s.vetor()
        s.A(p, q)
        pq = s.dot(p, q)
        if rompe(pq):
            self.ruptura = "cg: p.Ap = " + texto(pq)
            return
        alpha = self.rz / pq
        T = s.nv.u
        for P in s.pts:
            T[P] = T[P] + alpha * p[P]
            r[P] = r[P] - alpha * q[P]
        self.est = s.norma2(r)


class BiCGSTAB:
    def __init__(self, s):
        self.s, self.ruptura, self.est = s, None, 0.0
        self.r = s.vetor()
        s.residuo(self.r)
        self.rt = list(self.r)
        self.rho, self.alpha, self.om = 1.0, 1.0, 1.0
        self.p, self.v, self.segunda = s.vetor(), s.vetor(), False

    def atualizar(self, a, d, ad):
        s, r, T = self.s, self.r, self.s.nv.u
        for P in s.pts:
            T[P] = T[P] + a * d[P]
            r[P] = r[P] - a * ad[P]
        self.est = s.norma2(r)

    def iterar(self):
        s, r = self.s, self.r
        if s.dot(r, r) == 0.0:
            self.est, self.segunda = 0.0, False
            return
        if not self.segunda:
            rho1 = s.dot(self.rt, r)
            if rompe(rho1):
                self.ruptura = "bicgstab: rho = " + texto(rho1)
                return
            beta = (rho1 / self.rho) * (self.alpha / self.om)
            p, v = self.p, self.v
            for P in s.pts:
                p[P] = r[P] + beta * (p[P] - self.om * v[P])
            ph = s.B(p)
            s.A(ph, v)
            rv = s.dot(self.rt, v)
            if rompe(rv):
                self.ruptura = "bicgstab: rt.v = " + texto(rv)
                return
            self.alpha, self.rho = rho1 / rv, rho1
            self.atualizar(self.alpha, ph, v)
            self.segunda = True
        else:
            sh = s.B(r)
            t = s.vetor()
            s.A(sh, t)
            tt = s.dot(t, t)
            if rompe(tt):
                self.ruptura = "bicgstab: t.t = " + texto(tt)
                return
            self.om = s.dot(t, r) / tt
            if rompe(self.om):
                self.ruptura = "bicgstab: omega = " + texto(self.om)
                return
            self.atualizar(self.om, sh, t)
            self.segunda = False


class GMRES:
    def __init__(self, s, M):
        self.s, self.M, self.ruptura, self.est = s, M, None, 0.0
        self.j = 0
        self.V, self.Z = [None] * (M + 2), [None] * (M + 1)
        self.h = {}
        self.c, self.sn, self.g, self.y = [0.0] * (M + 1), [0.0] * (M + 1), [0.0] * (M + 2), [0.0] * (M + 1)

    def iterar(self):
        s, h = self.s, self.h
        T = s.nv.u
        if self.j == 0:
            self.x0 = list(T)
            v1 = s.vetor()
            s.residuo(v1)
            bn = s.norma2(v1)
            if bn == 0.0:
                self.est = 0.0
                return
            if rompe(bn):
                self.ruptura = "gmres: residual norm = " + texto(bn)
                return
            for P in s.pts:
                v1[P] = v1[P] / bn
            self.V[1] = v1
            self.g = [0.0] * (self.M + 2)
            self.g[1] = bn
        self.j += 1
        j = self.j
        self.Z[j] = s.B(self.V[j])
        w = s.vetor()
        s.A(self.Z[j], w)
        for i in range(1, j + 1):
            vi = self.V[i]
            hij = s.dot(w, vi)
            h[i, j] = hij
            for P in s.pts:
                w[P] = w[P] - hij * vi[P]
        hn = s.norma2(w)
        h[j + 1, j] = hn
        if hn != 0.0:
            for P in s.pts:
                w[P] = w[P] / hn
        self.V[j + 1] = w
        c, sn, g, y = self.c, self.sn, self.g, self.y
        for i in range(1, j):
            a, b = h[i, j], h[i + 1, j]
            h[i, j] = c[i] * a + sn[i] * b
            h[i + 1, j] = c[i] * b - sn[i] * a
        a, b = h[j, j], h[j + 1, j]
        d = math.sqrt(a * a + b * b)
        if rompe(d):
            self.ruptura = "gmres: rotation norm = " + texto(d)
            return
        c[j], sn[j] = a / d, b / d
        h[j, j] = d
        g[j + 1] = -(sn[j] * g[j])
        g[j] = c[j] * g[j]
        self.est = abs(g[j + 1])
        for i in range(j, 0, -1):
            t = g[i]
            for l_ in range(i + 1, j + 1):
                t = t - h[i, l_] * y[l_]
            y[i] = t / h[i, i]
        for P in s.pts:
            t = self.x0[P]
            for i in range(1, j + 1):
                t = t + y[i] * self.Z[i][P]
            T[P] = t
        if j == self.M or hn == 0.0:
            self.j = 0


def criar(texto_krylov, s):
    if texto_krylov == "cg":
        return CG(s)
    if texto_krylov == "bicgstab":
        return BiCGSTAB(s)
    M = int(texto_krylov.split(":")[1]) if ":" in texto_krylov else 30
    return GMRES(s, M)
