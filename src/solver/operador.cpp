// O operador de cada nível: o estêncil constante (eps em ae) ou, com um coeficiente de difusão que varia, o campo
// kappa por célula do nível mais fino, a sua média nas células de cada nível grosso e os coeficientes de aresta do
// esquema de caixas (doc/metodo.md, 2.2 e 2.3), montados uma vez por solução.
#include <cmath>
#include <new>
#include <string>

#include "solver/cronometro.h"
#include "solver/solver.h"
#include "state/erro_fatal.h"

namespace {

vetor_grande criar(long long n, const char* nome) {
    try {
        return vetor_grande(static_cast<std::size_t>(n));
    } catch (const std::bad_alloc&) {
        throw erro_fatal("out of memory allocating " + std::string(nome) + " (" + std::to_string(n * 8LL) + " bytes)");
    }
}

// kappa de uma célula (I, J) pelo tipo do campo, com n1 x m1 células no nível mais fino.
double celula(const coeficiente_difusao& c, long long I, long long J, long long n1, long long m1) {
    const long long M = c.m;
    switch (c.tipo) {
    case tipo_coeficiente::salto: {
        const bool dentro = n1 < 4 * I - 2 && 4 * I - 2 < 3 * n1 && m1 < 4 * J - 2 && 4 * J - 2 < 3 * m1;
        return dentro ? c.c : 1.0;
    }
    case tipo_coeficiente::xadrez: {
        const long long bx = ((2 * I - 1) * M) / (2 * n1), by = ((2 * J - 1) * M) / (2 * m1);
        return (bx + by) % 2 == 1 ? c.c : 1.0;
    }
    case tipo_coeficiente::camadas: return ((2 * J - 1) * M) / (2 * m1) % 2 == 1 ? c.c : 1.0;
    case tipo_coeficiente::constante:
    case tipo_coeficiente::aleatorio: break;
    }
    return 1.0;
}

// Coeficientes de aresta e diagonal do nível de nx x ny pontos a partir do seu kappa por célula (índices a partir de
// 1, a célula (I, J) em I + (J-1)*(nx-1)).
void preencher_nivel(const operador_nivel& o, const double* kappa, int nx, int ny, double* bloco) {
    const long n = nx, c = nx - 1, nxy = static_cast<long>(nx) * ny;
    double* ax = bloco;
    double* ay = bloco + nxy;
    double* ap = bloco + 2 * nxy;
    const double ae = o.ae, an = o.an;
    auto k = [&](long I, long J) { return kappa[I + (J - 1) * c]; };
    for (long j = 2; j <= ny - 1; ++j)
        for (long i = 2; i <= nx; ++i) ax[i + (j - 1) * n] = ae * ((k(i - 1, j - 1) + k(i - 1, j)) * 0.5);
    for (long j = 2; j <= ny; ++j)
        for (long i = 2; i <= nx - 1; ++i) ay[i + (j - 1) * n] = an * ((k(i - 1, j - 1) + k(i, j - 1)) * 0.5);
    for (long j = 2; j <= ny - 1; ++j)
        for (long i = 2; i <= nx - 1; ++i) {
            const long P = i + (j - 1) * n;
            ap[P] = (ax[P] + ax[P + 1]) + (ay[P] + ay[P + n]);
        }
}

} // namespace

void campo_coeficiente(estado_execucao& e, const coeficiente_difusao& c) {
    const long long n1 = e.nxg[e.nm] - 1, m1 = e.nyg[e.nm] - 1;
    e.kappa = criar(n1 * m1 + 1, "the diffusion coefficient kappa");
    double* k = e.kappa.data();
    if (c.tipo == tipo_coeficiente::aleatorio) {
        const double l = std::log(c.c);
        std::uint64_t s = c.semente;
        for (long long J = 1; J <= m1; ++J)
            for (long long I = 1; I <= n1; ++I) k[I + (J - 1) * n1] = std::exp(proximo_aleatorio(s) * l);
        return;
    }
    for (long long J = 1; J <= m1; ++J)
        for (long long I = 1; I <= n1; ++I) k[I + (J - 1) * n1] = celula(c, I, J, n1, m1);
}

std::vector<double> media_nas_celulas(const double* fino, int nx, int ny) {
    const long cf = nx - 1, cx = (nx - 1) / 2, cy = (ny - 1) / 2;
    std::vector<double> g(static_cast<std::size_t>(cx * cy + 1), 0.0);
    auto k = [&](long I, long J) { return fino[I + (J - 1) * cf]; };
    for (long J = 1; J <= cy; ++J)
        for (long I = 1; I <= cx; ++I)
            g[static_cast<std::size_t>(I + (J - 1) * cx)] =
                ((k(2 * I - 1, 2 * J - 1) + k(2 * I, 2 * J - 1)) + (k(2 * I - 1, 2 * J) + k(2 * I, 2 * J))) * 0.25;
    return g;
}

long long doubles_do_operador(const estado_execucao& e, const metodo_efetivo& m) {
    if (!m.operador_variavel) return 0;
    long long pesos = 1, celulas = 0;
    for (int k = 1; k <= e.nm; ++k) {
        pesos += pesos_por_nivel(forma_operador::cinco_variavel, e.nxyg[k]);
        celulas += static_cast<long long>(e.nxg[k] - 1) * (e.nyg[k] - 1) + 1;
    }
    return pesos + celulas;
}

void montar_operadores(estado_execucao& e, const metodo_efetivo& m, tempos_fases* tempos) {
    e.operadores.assign(static_cast<std::size_t>(e.nm) + 1, operador_nivel{});
    for (int k = 1; k <= e.nm; ++k) {
        const double dx = 1.0 / static_cast<double>(e.nxg[k] - 1), dy = 1.0 / static_cast<double>(e.nyg[k] - 1);
        e.operadores[static_cast<std::size_t>(k)] = operador_constante(dx, dy, m.eps);
    }
    if (!m.operador_variavel) {
        e.kappa = vetor_grande();
        e.pesos = vetor_grande();
        return;
    }
    long long total = 1;
    for (int k = 1; k <= e.nm; ++k) {
        operador_nivel& o = e.operadores[static_cast<std::size_t>(k)];
        o.forma = forma_operador::cinco_variavel;
        o.deslocamento = static_cast<long>(total - 1);
        total += pesos_por_nivel(o.forma, e.nxyg[k]);
    }
    {
        const cronometro_fase c(tempos, e.nm, fase_tempo::operador);
        campo_coeficiente(e, m.coeficiente);
        e.pesos = criar(total, "the coefficients of the variable operator");
    }
    // do mais fino para o mais grosso, cada nível com a média do de cima
    std::vector<double> kappa;
    for (int k = e.nm; k >= 1; --k) {
        const cronometro_fase c(tempos, k, fase_tempo::operador);
        const operador_nivel& o = e.operadores[static_cast<std::size_t>(k)];
        const double* kk = k == e.nm ? e.kappa.data() : kappa.data();
        preencher_nivel(o, kk, e.nxg[k], e.nyg[k], e.pesos.data() + o.deslocamento);
        if (k > 1) kappa = media_nas_celulas(kk, e.nxg[k], e.nyg[k]);
    }
}
