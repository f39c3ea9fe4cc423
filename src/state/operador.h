// O operador de um nível: a forma do estêncil, o estêncil constante e, nas formas que variam de ponto a ponto, onde
// os coeficientes do nível ficam no vetor empacotado do estado (pesos). O plano do solver monta um por nível, uma vez
// por solução; os núcleos o recebem pela vista do nível e o plano escolhe, uma vez, a variante de cada forma.
#pragma once

// A forma do operador de um nível. Uma forma nova (nove pontos, Galerkin) é um valor aqui, o seu bloco em pesos e
// as variantes dos núcleos que a leem.
enum class forma_operador {
    cinco_constante, // cinco pontos, ae, an, ap iguais em todo ponto (o laplaciano, com eps em ae)
    cinco_variavel,  // cinco pontos com um coeficiente por aresta (esquema de caixas): ax, ay e ap por ponto
};

struct operador_nivel {
    forma_operador forma = forma_operador::cinco_constante;
    double ae = 0.0, an = 0.0, ap = 0.0; // o estêncil constante (na forma variável, o de kappa = 1)
    long deslocamento = 0;               // forma variável: onde o bloco do nível começa em pesos
};

/// Grades do bloco de um nível de forma cinco_variavel (índices locais a partir de 1, P = i + (j-1)*nx): ax(P) o
/// coeficiente da aresta entre P-1 e P, ay(P) o da aresta entre P-nx e P, ap(P) a diagonal.
struct estencil_variavel {
    const double* x = nullptr;
    const double* y = nullptr;
    const double* p = nullptr;
};

/// Quantos doubles o bloco de um nível de nxy pontos ocupa em pesos, por forma.
inline long pesos_por_nivel(forma_operador f, long nxy) { return f == forma_operador::cinco_variavel ? 3 * nxy : 0; }

/// As três grades de um bloco (bloco[P] = ax(P)).
inline estencil_variavel estencil_de(const double* bloco, long nxy) { return {bloco, bloco + nxy, bloco + 2 * nxy}; }
