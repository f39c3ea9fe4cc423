// O operador de cada nível: o estêncil constante (eps em ae) ou, com um coeficiente de difusão que varia, o campo
// kappa por célula do nível mais fino, a sua média nas células de cada nível grosso e os coeficientes de aresta do
// esquema de caixas (doc/metodo.md, 2.2 e 2.3); com --coarse-operator galerkin os de nove pontos (12.5) e com
// --interpolation operator os pesos da interpolação (12.3); tudo montado uma vez por solução.
#include <cmath>
#include <new>
#include <string>

#include "solver/cronometro.h"
#include "solver/residuos.h"
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

std::vector<double> media_nas_celulas(const double* fino, int nx, int ny, tipo_engrossamento g) {
    const long cf = nx - 1;
    const long cx = g == tipo_engrossamento::y ? nx - 1 : (nx - 1) / 2;
    const long cy = g == tipo_engrossamento::x ? ny - 1 : (ny - 1) / 2;
    std::vector<double> m(static_cast<std::size_t>(cx * cy + 1), 0.0);
    auto k = [&](long I, long J) { return fino[I + (J - 1) * cf]; };
    for (long J = 1; J <= cy; ++J)
        for (long I = 1; I <= cx; ++I) {
            double v;
            switch (g) {
            case tipo_engrossamento::x: v = (k(2 * I - 1, J) + k(2 * I, J)) * 0.5; break;
            case tipo_engrossamento::y: v = (k(I, 2 * J - 1) + k(I, 2 * J)) * 0.5; break;
            case tipo_engrossamento::completo:
            default:
                v = ((k(2 * I - 1, 2 * J - 1) + k(2 * I, 2 * J - 1)) + (k(2 * I - 1, 2 * J) + k(2 * I, 2 * J))) * 0.25;
            }
            m[static_cast<std::size_t>(I + (J - 1) * cx)] = v;
        }
    return m;
}

formas_niveis formas_do_metodo(const estado_execucao& e, const metodo_efetivo& m) {
    formas_niveis f;
    const auto n = static_cast<std::size_t>(e.nm) + 1;
    f.operador.assign(n, forma_operador::cinco_constante);
    f.interpolacao.assign(n, forma_interpolacao::bilinear);
    const forma_operador fina = m.operador_variavel ? forma_operador::cinco_variavel : forma_operador::cinco_constante;
    const bool galerkin = m.operador_grosso == tipo_operador_grosso::galerkin && e.nm >= 2;
    for (int k = 1; k <= e.nm; ++k) {
        forma_operador o = fina;
        if (k < e.nm && galerkin)
            o = m.operador_variavel ? forma_operador::nove_variavel : forma_operador::nove_constante;
        f.operador[static_cast<std::size_t>(k)] = o;
        if (k >= 2 && m.interpolacao == tipo_interpolacao::operador)
            f.interpolacao[static_cast<std::size_t>(k)] =
                varia(o) ? forma_interpolacao::operador_variavel : forma_interpolacao::operador_constante;
    }
    return f;
}

long long doubles_do_operador(const estado_execucao& e, const metodo_efetivo& m) {
    const formas_niveis f = formas_do_metodo(e, m);
    long long pesos = 0, celulas = 0;
    for (int k = 1; k <= e.nm; ++k) {
        const auto i = static_cast<std::size_t>(k);
        pesos += pesos_por_nivel(f.operador[i], e.nxyg[k]) + pesos_da_interpolacao(f.interpolacao[i], e.nxyg[k]);
        if (f.operador[i] == forma_operador::cinco_variavel)
            celulas += static_cast<long long>(e.nxg[k] - 1) * (e.nyg[k] - 1) + 1;
    }
    return pesos == 0 && celulas == 0 ? 0 : pesos + 1 + celulas;
}

vista_nivel vista_do_operador(const estado_execucao& e, int k) {
    vista_nivel v;
    const operador_nivel& o = e.operadores[static_cast<std::size_t>(k)];
    v.nx = e.nxg[k];
    v.ny = e.nyg[k];
    v.ae = o.ae;
    v.an = o.an;
    v.ap = o.ap;
    v.forma = o.forma;
    if (varia(o.forma)) v.pesos = e.pesos.data() + o.deslocamento;
    if (o.forma == forma_operador::nove_constante) v.nove = o.nove.data();
    return v;
}

vista_interpolacao vista_da_interpolacao(const estado_execucao& e, int k) {
    const interpolacao_nivel& i = e.operadores[static_cast<std::size_t>(k)].interpolacao;
    vista_interpolacao v;
    v.forma = i.forma;
    v.engrossamento = i.engrossamento;
    v.constantes = i.constantes;
    if (i.forma == forma_interpolacao::operador_variavel) v.pesos = e.pesos.data() + i.deslocamento;
    return v;
}

namespace {

// O coeficiente variável: kappa do nível mais fino e, descendo, a sua média nas células de cada nível que o usa.
void preencher_variaveis(estado_execucao& e, const metodo_efetivo& m, tempos_fases* tempos) {
    {
        const cronometro_fase c(tempos, e.nm, fase_tempo::operador);
        campo_coeficiente(e, m.coeficiente);
    }
    std::vector<double> kappa;
    for (int k = e.nm; k >= 1; --k) {
        const operador_nivel& o = e.operadores[static_cast<std::size_t>(k)];
        if (o.forma != forma_operador::cinco_variavel) break; // Galerkin: só o mais fino é rediscretizado
        const cronometro_fase c(tempos, k, fase_tempo::operador);
        const double* kk = k == e.nm ? e.kappa.data() : kappa.data();
        preencher_nivel(o, kk, e.nxg[k], e.nyg[k], e.pesos.data() + o.deslocamento);
        if (k > 1 && e.operadores[static_cast<std::size_t>(k - 1)].forma == forma_operador::cinco_variavel)
            kappa = media_nas_celulas(kk, e.nxg[k], e.nyg[k], m.engrossamento);
    }
}

// Os pesos da interpolação do nível k (dependente do operador), do seu operador.
void pesos_da_interpolacao_do_nivel(estado_execucao& e, int k) {
    interpolacao_nivel& i = e.operadores[static_cast<std::size_t>(k)].interpolacao;
    const vista_nivel v = vista_do_operador(e, k);
    if (i.forma == forma_interpolacao::operador_constante) {
        i.constantes = pesos_do_estencil(estencil_no_ponto(v, 0), i.engrossamento);
        const pesos_constantes& w = i.constantes;
        for (double x : {w.oeste, w.leste, w.sul, w.norte, w.sudoeste, w.sudeste, w.noroeste, w.nordeste})
            if (!std::isfinite(x))
                throw erro_fatal("--interpolation operator: the weights from the operator of level " +
                                 std::to_string(k) + " are not finite (a zero diagonal in its stencil)");
        return;
    }
    const long ruim = pesos_do_operador(v, i.engrossamento, e.pesos.data() + i.deslocamento);
    if (ruim != 0)
        throw erro_fatal("--interpolation operator: the weight of point (" + std::to_string((ruim - 1) % v.nx + 1) +
                         ", " + std::to_string((ruim - 1) / v.nx + 1) + ") of level " + std::to_string(k) +
                         " is not finite (a zero diagonal in its stencil)");
}

// O operador de Galerkin do nível k-1 a partir do nível k.
void produto_de_galerkin(estado_execucao& e, const metodo_efetivo& m, int k) {
    operador_nivel& grosso = e.operadores[static_cast<std::size_t>(k - 1)];
    const vista_nivel fina = vista_do_operador(e, k);
    const vista_interpolacao interp = vista_da_interpolacao(e, k);
    if (grosso.forma == forma_operador::nove_constante) {
        grosso.nove = galerkin_constante(estencil_no_ponto(fina, 0), !nove_pontos(fina.forma), interp.constantes,
                                         m.restricao, m.engrossamento);
        return;
    }
    galerkin_por_ponto(fina, interp, m.restricao, e.nxg[k - 1], e.nyg[k - 1], e.pesos.data() + grosso.deslocamento);
}

} // namespace

void montar_operadores(estado_execucao& e, const metodo_efetivo& m, tempos_fases* tempos) {
    e.operadores.assign(static_cast<std::size_t>(e.nm) + 1, operador_nivel{});
    const formas_niveis f = formas_do_metodo(e, m);
    long long total = 1;
    for (int k = 1; k <= e.nm; ++k) {
        const double dx = 1.0 / static_cast<double>(e.nxg[k] - 1), dy = 1.0 / static_cast<double>(e.nyg[k] - 1);
        operador_nivel& o = e.operadores[static_cast<std::size_t>(k)];
        o = operador_constante(dx, dy, m.eps);
        o.forma = f.operador[static_cast<std::size_t>(k)];
        o.deslocamento = static_cast<long>(total - 1);
        total += pesos_por_nivel(o.forma, e.nxyg[k]);
        o.interpolacao.forma = f.interpolacao[static_cast<std::size_t>(k)];
        o.interpolacao.engrossamento = m.engrossamento;
    }
    for (int k = 2; k <= e.nm; ++k) {
        interpolacao_nivel& i = e.operadores[static_cast<std::size_t>(k)].interpolacao;
        i.deslocamento = static_cast<long>(total - 1);
        total += pesos_da_interpolacao(i.forma, e.nxyg[k]);
    }
    e.kappa = vetor_grande();
    e.pesos = vetor_grande();
    if (total > 1) {
        const cronometro_fase c(tempos, e.nm, fase_tempo::operador);
        e.pesos = criar(total, "the coefficients of the operators and the interpolation weights");
    }
    if (m.operador_variavel) preencher_variaveis(e, m, tempos);
    // de cima para baixo: os pesos da interpolação do nível k, depois o operador de Galerkin do nível k-1
    const bool galerkin = m.operador_grosso == tipo_operador_grosso::galerkin;
    for (int k = e.nm; k >= 2; --k) {
        if (f.interpolacao[static_cast<std::size_t>(k)] != forma_interpolacao::bilinear) {
            const cronometro_fase c(tempos, k, fase_tempo::operador);
            pesos_da_interpolacao_do_nivel(e, k);
        }
        if (galerkin) {
            const cronometro_fase c(tempos, k - 1, fase_tempo::operador);
            produto_de_galerkin(e, m, k);
        }
    }
}
