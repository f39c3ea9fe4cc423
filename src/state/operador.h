// O operador de um nível: a forma do estêncil, o estêncil constante e, nas formas que variam de ponto a ponto, onde
// os coeficientes do nível ficam no vetor empacotado do estado (pesos); e a interpolação que leva a correção do nível
// de baixo a ele. O plano do solver monta um por nível, uma vez por solução; os núcleos o recebem pela vista do nível
// e o plano escolhe, uma vez, a variante de cada forma.
#pragma once

#include <array>

#include "state/metodo.h"

// A forma do operador de um nível: cinco pontos (o rediscretizado) ou nove (o de Galerkin, R A P), guardado uma vez
// por nível quando é o mesmo em todo ponto e por ponto quando o coeficiente varia.
enum class forma_operador {
    cinco_constante, // cinco pontos, ae, an, ap iguais em todo ponto (o laplaciano, com eps em ae)
    cinco_variavel,  // cinco pontos com um coeficiente por aresta (esquema de caixas): ax, ay e ap por ponto
    nove_constante,  // nove pontos, os mesmos em todo ponto (nove)
    nove_variavel,   // nove pontos, nove grades por ponto
};

inline bool nove_pontos(forma_operador f) {
    return f == forma_operador::nove_constante || f == forma_operador::nove_variavel;
}
inline bool varia(forma_operador f) {
    return f == forma_operador::cinco_variavel || f == forma_operador::nove_variavel;
}

/// O estêncil de nove pontos pelo deslocamento (di, dj) em {-1, 0, 1}^2: posição g = (dj+1)*3 + (di+1), de sudoeste a
/// nordeste (j externo, i interno); g = 4 é a diagonal ap, os outros os acoplamentos c (a equação é
/// ap u(P) - soma c u(P + di + dj*nx) = f, c > 0 numa matriz M).
inline constexpr int centro9 = 4;
inline constexpr int posicao9(int di, int dj) { return (dj + 1) * 3 + (di + 1); }
using estencil9 = std::array<double, 9>;

// A forma da interpolação da correção do nível k-1 para o nível k.
enum class forma_interpolacao {
    bilinear,           // pesos 1/2 e 1/4 (linear no semiengrossamento)
    operador_constante, // dependente do operador, com os pesos de um estêncil constante (os mesmos em todo ponto)
    operador_variavel,  // dependente do operador, pesos por ponto fino (quatro grades em pesos)
};

// Os pesos da interpolação dependente do operador: nas arestas x (pais oeste e leste) os dois primeiros, nas arestas
// y (sul e norte) os dois primeiros, nos centros (sudoeste, sudeste, noroeste, nordeste) os quatro. Constantes: os
// das arestas x, os das arestas y e os dos centros.
struct pesos_constantes {
    double oeste = 0.5, leste = 0.5;   // aresta x
    double sul = 0.5, norte = 0.5;     // aresta y
    double sudoeste = 0.25, sudeste = 0.25, noroeste = 0.25, nordeste = 0.25;
};

struct interpolacao_nivel {
    forma_interpolacao forma = forma_interpolacao::bilinear;
    tipo_engrossamento engrossamento = tipo_engrossamento::completo;
    pesos_constantes constantes;      // operador_constante
    long deslocamento = -1;           // operador_variavel: onde as quatro grades (nxy do nível fino) começam em pesos
};

struct operador_nivel {
    forma_operador forma = forma_operador::cinco_constante;
    double ae = 0.0, an = 0.0, ap = 0.0; // o estêncil de cinco pontos constante (nas outras formas, o de kappa = 1)
    estencil9 nove{};                    // nove_constante: o estêncil
    long deslocamento = 0;               // formas variáveis: onde o bloco do nível começa em pesos
    interpolacao_nivel interpolacao;     // do nível k-1 para este (k >= 2)
};

/// Grades do bloco de um nível de forma cinco_variavel (índices locais a partir de 1, P = i + (j-1)*nx): ax(P) o
/// coeficiente da aresta entre P-1 e P, ay(P) o da aresta entre P-nx e P, ap(P) a diagonal.
struct estencil_variavel {
    const double* x = nullptr;
    const double* y = nullptr;
    const double* p = nullptr;
};

/// Quantos doubles o bloco de um nível de nxy pontos ocupa em pesos, por forma.
inline long pesos_por_nivel(forma_operador f, long nxy) {
    switch (f) {
    case forma_operador::cinco_variavel: return 3 * nxy;
    case forma_operador::nove_variavel: return 9 * nxy;
    case forma_operador::cinco_constante:
    case forma_operador::nove_constante: break;
    }
    return 0;
}

/// Doubles dos pesos da interpolação por ponto do nível fino de nxy pontos.
inline long pesos_da_interpolacao(forma_interpolacao f, long nxy) {
    return f == forma_interpolacao::operador_variavel ? 4 * nxy : 0;
}

/// As três grades de um bloco (bloco[P] = ax(P)).
inline estencil_variavel estencil_de(const double* bloco, long nxy) { return {bloco, bloco + nxy, bloco + 2 * nxy}; }
