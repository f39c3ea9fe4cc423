// Níveis: os tamanhos dos grossos pelo engrossamento; o nível corrente: seleção, coeficientes das equações de cinco
// pontos, as vistas dele e a passada rápida sobre ele.
#include <string>

#include "solver/solver.h"
#include "state/componentes.h"
#include "state/erro_fatal.h"

// com eps = 1.0 o produto é exato: ae tem os bits de 1.0/(dx*dx)
operador_nivel operador_constante(double dx, double dy, double eps) {
    operador_nivel o;
    o.ae = eps * (1.0 / (dx * dx));
    o.an = 1.0 / (dy * dy);
    o.ap = (o.an + o.ae) * 2.0;
    return o;
}

void coeficientes(estado_execucao& e) {
    const auto k = static_cast<std::size_t>(e.k);
    const operador_nivel o = e.k >= 1 && k < e.operadores.size() ? e.operadores[k] : operador_constante(e.dx, e.dy, 1.0);
    e.ae = o.ae;
    e.an = o.an;
    e.ap = o.ap;
}

long deslocamento_do_nivel(const estado_execucao& e, int k) {
    long o = 0;
    for (int m = 1; m < k; ++m) o += e.nxyg[m];
    return o;
}

void selecionar_nivel(estado_execucao& e, int k) {
    e.k = k;
    e.ofsk = static_cast<int>(deslocamento_do_nivel(e, k));
    e.nxk = e.nxg[k];
    e.nyk = e.nyg[k];
    e.nxyk = e.nxk * e.nyk;
    e.dx = 1.0 / static_cast<double>(e.nxk - 1);
    e.dy = 1.0 / static_cast<double>(e.nyk - 1);
}

vista_nivel nivel_corrente(estado_execucao& e) {
    vista_nivel v;
    const auto k = static_cast<std::size_t>(e.k);
    if (e.k >= 1 && k < e.operadores.size()) v = vista_do_operador(e, e.k);
    const bool em_T = e.nm == 1 || e.k == e.nm;
    // um estado sem correção (montado só com T) não tem o nível grosso: nullptr, não nullptr + deslocamento
    v.u = em_T ? e.T.data() : e.cor.empty() ? nullptr : e.cor.data() + e.ofsk;
    v.f = !em_T ? (e.res.empty() ? nullptr : e.res.data() + e.ofsk) : e.fonte.empty() ? nullptr : e.fonte.data();
    v.nx = e.nxk;
    v.ny = e.nyk;
    v.ae = e.ae;
    v.an = e.an;
    v.ap = e.ap;
    return v;
}

nivel_abaixo nivel_abaixo_do_corrente(estado_execucao& e) {
    const long o = deslocamento_do_nivel(e, e.k - 1);
    nivel_abaixo b{e.res.data() + o, e.nxg[e.k - 1], e.nyg[e.k - 1], e.cor.data() + o, {}};
    if (static_cast<std::size_t>(e.k) < e.operadores.size()) b.interpolacao = vista_da_interpolacao(e, e.k);
    return b;
}

void derivar_niveis_grossos(estado_execucao& e, tipo_engrossamento g) {
    const componente_engrossamento& c = componente(g);
    long long total = static_cast<long long>(e.nxg[e.nm]) * e.nyg[e.nm];
    e.nxyg[e.nm] = e.nxg[e.nm] * e.nyg[e.nm];
    for (int k = e.nm - 1; k >= 1; --k) {
        e.nxg[k] = c.em_x ? (e.nxg[k + 1] - 1) / 2 + 1 : e.nxg[e.nm];
        e.nyg[k] = c.em_y ? (e.nyg[k + 1] - 1) / 2 + 1 : e.nyg[e.nm];
        const long long n = static_cast<long long>(e.nxg[k]) * e.nyg[k];
        total += n;
        if (total > 2147483647LL)
            throw erro_fatal("--coarsening " + std::string(c.nome) + ": the " + std::to_string(e.nm) +
                             " levels would hold more than 2147483647 points in all (the limit of the 32-bit sizes); "
                             "give a smaller nm or full coarsening");
        e.nxyg[k] = static_cast<int>(n);
    }
    e.nxyt = static_cast<int>(total);
}

void passada_rapida(estado_execucao& e, const pedido_passada& pedido, equipe& eq) {
    const vista_nivel v = nivel_corrente(e);
    nivel_passada n{.u = v.u, .f = v.f, .nx = v.nx, .ny = v.ny, .ae = v.ae, .an = v.an, .ap = v.ap};
    if (pedido.prolongar || pedido.restringir) {
        const nivel_abaixo b = nivel_abaixo_do_corrente(e);
        n.grossa = e.cor.data() + deslocamento_do_nivel(e, e.k - 1);
        n.direito_grosso = b.r;
        n.nxc = b.nxc;
    }
    const double norma = ::passada_rapida(n, pedido, eq);
    if (pedido.norma) e.rnorm = norma;
}
