// A aceleração de Krylov por dentro (doc/metodo.md, 13): os vetores do nível mais fino, o produto interno, o
// operador A, o resíduo verdadeiro e o precondicionador B (um ciclo da rodada a partir de zero), comuns aos métodos.
#pragma once

#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "solver/plano.h"
#include "state/estado.h"
#include "state/metodo.h"
#include "state/vetor_grande.h"

// O nível mais fino visto pelos métodos de Krylov, com o ciclo que precondiciona.
struct espaco_krylov {
    estado_execucao& e;
    std::function<void()> ciclo; // uma iteração da rodada sem Krylov sobre T e a fonte correntes
    vista_nivel operador;        // o operador do nível mais fino (u e f nulos)
    long n = 0;                  // pontos do nível (os vetores têm n + 1 doubles, índices 1..n)
};

/// O espaço do nível mais fino de e (o nível fica corrente).
espaco_krylov espaco_do_nivel_fino(estado_execucao& e, std::function<void()> ciclo);
/// Um vetor de Krylov: n + 1 zeros (erro_fatal sem memória).
vetor_grande vetor_krylov(const espaco_krylov& s);
/// Soma de u[P]*v[P] nos pontos internos, em ordem de armazenamento.
double produto(const espaco_krylov& s, const vetor_grande& u, const vetor_grande& v);
/// sqrt(produto(u, u)).
double norma2(const espaco_krylov& s, const vetor_grande& u);
/// q = A(w) nos pontos internos (w com contorno zero).
void aplicar_operador(const espaco_krylov& s, const vetor_grande& w, vetor_grande& q);
/// r = -a(P) do campo T e da fonte: o resíduo verdadeiro nos pontos internos.
void residuo_verdadeiro(espaco_krylov& s, vetor_grande& r);
/// z = B(v): um ciclo sobre z = 0 com v como fonte; T, a fonte e rnorm voltam como estavam.
void precondicionar(espaco_krylov& s, vetor_grande& v, vetor_grande& z);
/// rnorm = a norma L1 do resíduo verdadeiro de T (o nível mais fino corrente).
void norma_verdadeira(espaco_krylov& s);
/// Para cada ponto interno P, f(P).
template <class F>
void em_cada_ponto(const espaco_krylov& s, F f) {
    const long nx = s.operador.nx;
    for (long j = 2; j <= s.operador.ny - 1; ++j)
        for (long i = 2; i <= nx - 1; ++i) f(i + (j - 1) * nx);
}

// Um método de Krylov em curso: iterar() faz um passo (uma aplicação de B) e deixa rnorm e a estimativa; uma
// ruptura vai para e.ruptura.
class metodo_krylov {
public:
    virtual ~metodo_krylov() = default;
    virtual void iterar() = 0;
    double estimativa = 0.0; // a norma L2 do resíduo que o método estima depois do passo
};

/// O método pedido (cg, bicgstab, gmres) sobre o espaço, partindo de T.
std::unique_ptr<metodo_krylov> criar_metodo_krylov(espaco_krylov& s, const aceleracao_krylov& k);
/// Os métodos, cada um no seu arquivo.
std::unique_ptr<metodo_krylov> criar_cg(espaco_krylov& s);
std::unique_ptr<metodo_krylov> criar_bicgstab(espaco_krylov& s);
std::unique_ptr<metodo_krylov> criar_gmres(espaco_krylov& s, int m);
/// Um número que divide ou tira raiz: zero ou não finito é ruptura.
inline bool rompe(double d) { return d == 0.0 || !std::isfinite(d); }
