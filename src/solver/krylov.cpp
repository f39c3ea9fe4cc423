// As operações comuns dos métodos de Krylov (doc/metodo.md, 13.1) e o laço das iterações externas com um deles: o
// produto interno numa só soma em ordem de armazenamento (nada depende das threads), A, o resíduo e B.
#include <cmath>
#include <memory>
#include <new>
#include <utility>

#include "solver/krylov.h"
#include "solver/solver.h"
#include "state/erro_fatal.h"

namespace {

// a(P) de 5.1 sem a fonte: (ap*u - y) - x.
double valor_constante(const vista_nivel& v, const double* u, long P) {
    const long nx = v.nx;
    return (v.ap * u[P] - v.an * (u[P - nx] + u[P + nx])) - v.ae * (u[P - 1] + u[P + 1]);
}

double valor_variavel(const estencil_variavel& c, long nx, const double* u, long P) {
    const double y = c.y[P] * u[P - nx] + c.y[P + nx] * u[P + nx];
    const double x = c.x[P] * u[P - 1] + c.x[P + 1] * u[P + 1];
    return (c.p[P] * u[P] - y) - x;
}

// Para cada ponto interno, destino(P, a(P)) com o operador do nível mais fino aplicado a u.
template <class F>
void com_operador(const espaco_krylov& s, const double* u, F destino) {
    const vista_nivel& v = s.operador;
    if (v.forma == forma_operador::cinco_variavel) {
        const estencil_variavel c = estencil_de(v.pesos, s.n);
        em_cada_ponto(s, [&](long P) { destino(P, valor_variavel(c, v.nx, u, P)); });
    } else {
        em_cada_ponto(s, [&](long P) { destino(P, valor_constante(v, u, P)); });
    }
}

} // namespace

espaco_krylov espaco_do_nivel_fino(estado_execucao& e, std::function<void()> ciclo) {
    selecionar_nivel(e, e.nm);
    coeficientes(e);
    vista_nivel v = nivel_corrente(e);
    if (v.forma != forma_operador::cinco_constante && v.forma != forma_operador::cinco_variavel)
        throw erro_fatal("internal: the finest level's operator is not five-point");
    v.u = nullptr;
    v.f = nullptr;
    return {e, std::move(ciclo), v, static_cast<long>(v.nx) * v.ny};
}

vetor_grande vetor_krylov(const espaco_krylov& s) {
    try {
        return vetor_grande(static_cast<std::size_t>(s.n) + 1);
    } catch (const std::bad_alloc&) {
        throw erro_fatal("out of memory allocating a Krylov vector (" + std::to_string((s.n + 1) * 8) + " bytes)");
    }
}

double produto(const espaco_krylov& s, const vetor_grande& u, const vetor_grande& v) {
    double soma = 0.0;
    em_cada_ponto(s, [&](long P) { soma = soma + u[P] * v[P]; });
    return soma;
}

double norma2(const espaco_krylov& s, const vetor_grande& u) { return std::sqrt(produto(s, u, u)); }

void aplicar_operador(const espaco_krylov& s, const vetor_grande& w, vetor_grande& q) {
    com_operador(s, w.data(), [&](long P, double a) { q[P] = a; });
}

void residuo_verdadeiro(espaco_krylov& s, vetor_grande& r) {
    const double* f = s.e.fonte.empty() ? nullptr : s.e.fonte.data();
    if (f) com_operador(s, s.e.T.data(), [&](long P, double a) { r[P] = -(a - f[P]); });
    else com_operador(s, s.e.T.data(), [&](long P, double a) { r[P] = -a; });
}

void precondicionar(espaco_krylov& s, vetor_grande& v, vetor_grande& z) {
    estado_execucao& e = s.e;
    z.assign(z.size(), 0.0);
    const double rnorm = e.rnorm;
    std::swap(e.T, z);
    std::swap(e.fonte, v);
    struct restaurar {
        estado_execucao& e;
        vetor_grande &v, &z;
        ~restaurar() {
            std::swap(e.T, z);
            std::swap(e.fonte, v);
        }
    } r{e, v, z};
    s.ciclo();
    e.rnorm = rnorm;
}

void norma_verdadeira(espaco_krylov& s) {
    selecionar_nivel(s.e, s.e.nm);
    coeficientes(s.e);
    norma_l1(s.e);
}

std::unique_ptr<metodo_krylov> criar_metodo_krylov(espaco_krylov& s, const aceleracao_krylov& k) {
    switch (k.tipo) {
    case tipo_krylov::cg: return criar_cg(s);
    case tipo_krylov::bicgstab: return criar_bicgstab(s);
    case tipo_krylov::gmres: return criar_gmres(s, k.reinicio);
    case tipo_krylov::nenhum: break;
    }
    return nullptr;
}

void iteracoes_krylov(estado_execucao& e, const aceleracao_krylov& k, const std::function<void()>& ciclo,
                      const aviso_iteracao& aviso) {
    espaco_krylov s = espaco_do_nivel_fino(e, ciclo);
    std::unique_ptr<metodo_krylov> m = criar_metodo_krylov(s, k);
    e.ruptura.clear();
    e.estimativa_krylov.assign(1, norma2(s, [&] {
                                   vetor_grande r = vetor_krylov(s);
                                   residuo_verdadeiro(s, r);
                                   return r;
                               }()));
    iteracoes_externas(
        e,
        [&] {
            m->iterar();
            const auto i = static_cast<std::size_t>(e.it);
            if (e.estimativa_krylov.size() <= i) e.estimativa_krylov.resize(i + 1);
            e.estimativa_krylov[i] = m->estimativa;
            norma_verdadeira(s);
        },
        aviso);
}
