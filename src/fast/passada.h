// Passada rápida: sumário da pasta. Numa só passada pela memória de um nível, a prolongação da correção do nível
// abaixo, as varreduras de Gauss-Seidel (lexicográfico ou vermelho-preto) ou de Jacobi, a restrição do resíduo
// (injeção, meia ou completa) e a norma L1, com os mesmos bits dos núcleos de referência (solver/), para qualquer
// número de threads e conjunto de instruções; e os núcleos dos suavizadores de linhas. A pasta só conhece vetores e
// números: o nível chega numa vista, a equipe de threads é dela (equipe.h), nada do estado da rodada.
#pragma once

#include "fast/equipe.h"

// Como a passada leva o resíduo ao nível abaixo: o do ponto coincidente, ou a média ponderada de 5 ou 9 pontos.
enum class restricao_passada { injecao, meia, completa };

// As varreduras de uma passada: Gauss-Seidel lexicográfico (omega 1), vermelho-preto ou Jacobi (qualquer omega).
enum class suavizador_passada { gs_lex, gs_rb, jacobi };

// O que uma passada rápida faz: varreduras e, em volta delas, transferências e norma.
struct pedido_passada {
    int varreduras = 0;      // varreduras do suavizador (nenhuma quando <= 0)
    bool prolongar = false;  // soma antes a correção interpolada do nível abaixo
    bool restringir = false; // injeta depois o resíduo no nível abaixo
    bool norma = false;      // devolve a norma L1 dos resíduos
    bool zerar = false;      // a correção do nível (grosso) vale zero na entrada: é escrita sem ser lida
    restricao_passada restricao = restricao_passada::injecao; // com restringir
    suavizador_passada suavizador = suavizador_passada::gs_lex;
    double omega = 1.0;      // gs_rb e jacobi: u + omega*(v - u) quando != 1
};

// O nível de uma passada (índices locais a partir de 1, P = i + (j-1)*nx) e o nível abaixo dele.
struct nivel_passada {
    double* u = nullptr;              // T, ou a correção do nível
    const double* f = nullptr;        // lado direito do nível (nulo em T)
    int nx = 0, ny = 0;               // pontos por direção, contornos incluídos
    double ae = 0.0, an = 0.0, ap = 0.0;
    const double* grossa = nullptr;   // correção do nível abaixo (prolongação)
    double* direito_grosso = nullptr; // lado direito do nível abaixo (restrição)
    int nxc = 0;                      // pontos por linha do nível abaixo
};

// Um nível com o operador variável de cinco pontos (índices locais a partir de 1): cada vizinho com o coeficiente
// da sua aresta (ax(P) oeste, ax(P+1) leste, ay(P) sul, ay(P+nx) norte), a soma dividida pela diagonal ap(P).
struct nivel_variavel {
    double* u = nullptr;       // T, ou a correção do nível
    const double* f = nullptr; // lado direito (nulo em T sem fonte)
    const double *ax = nullptr, *ay = nullptr, *ap = nullptr;
    int nx = 0, ny = 0;
    double omega = 1.0;        // u + omega*(v - u) quando != 1
};

// Um nível com o operador de nove pontos (índices locais a partir de 1): os nove números do nível (constante) ou as
// nove grades de nx*ny de um bloco (por ponto), g = (dj+1)*3 + (di+1), o centro em g = 4.
struct nivel_nove {
    double* u = nullptr;
    const double* f = nullptr;
    const double* nove = nullptr;  // constante
    const double* bloco = nullptr; // por ponto (não nulo: esta forma)
    int nx = 0, ny = 0;
    double omega = 1.0;
};

/// A passada pedida sobre o nível, com as threads da equipe; devolve a norma L1 quando pedida (0 sem pontos
/// internos), senão 0.
double passada_rapida(const nivel_passada& v, const pedido_passada& pedido, equipe& eq);
/// Uma varredura de Gauss-Seidel lexicográfico para trás (j e i decrescentes) sobre o nível, numa thread, com os
/// bits do laço simples.
void varredura_para_tras(const nivel_passada& v);
/// Varreduras de linhas em y (Thomas em cada coluna, de oeste a leste) sobre o nível, numa thread, com os bits do
/// laço simples, a memória lida em ordem de linhas (blocos de colunas copiados para o rascunho do plano do nível).
void varredura_colunas(const nivel_passada& v, int varreduras, equipe& eq);
/// Varreduras de linhas em y com o operador variável, idem (Thomas com os coeficientes de cada coluna; omega não
/// entra).
void varredura_colunas_variavel(const nivel_variavel& v, int varreduras, equipe& eq);
/// Varreduras de linhas em y com o operador de nove pontos, constante ou por ponto, idem.
void varredura_colunas_nove(const nivel_nove& v, int varreduras, equipe& eq);
/// Varreduras de linhas em x (Thomas em cada linha, de sul a norte) sobre o nível, numa thread, com os bits do laço
/// simples; até quatro varreduras de uma vez, em frente de onda, com as recorrências entrelaçadas.
void varredura_linhas_x(const nivel_passada& v, int varreduras, equipe& eq);
/// Idem com o operador variável de cinco pontos e com o de nove pontos (as recorrências com os coeficientes de cada
/// linha).
void varredura_linhas_x_variavel(const nivel_variavel& v, int varreduras, equipe& eq);
void varredura_linhas_x_nove(const nivel_nove& v, int varreduras, equipe& eq);
/// Varreduras vermelho-preto com o operador variável, em vetores e nas threads da equipe, com os bits do laço
/// simples.
void vermelho_preto_variavel(const nivel_variavel& v, int varreduras, equipe& eq);
/// Varreduras vermelho-preto com o operador de nove pontos, constante ou por ponto, em vetores, numa thread (os
/// pontos de uma cor se acoplam pelas diagonais: as linhas de uma cor vão em ordem), com os bits do laço simples.
void vermelho_preto_nove(const nivel_nove& v, int varreduras, equipe& eq);
/// A adjunta da de cima (--post-order adjoint): os pretos e depois os vermelhos, cada cor de trás para a frente.
void vermelho_preto_nove_adjunto(const nivel_nove& v, int varreduras, equipe& eq);
/// Varreduras de Jacobi com o operador variável, idem; `copia`: nx*ny + 1 doubles, o nível antes de cada varredura.
void jacobi_variavel(const nivel_variavel& v, double* copia, int varreduras, equipe& eq);
/// Varreduras de Jacobi com o operador de nove pontos, constante ou por ponto, idem.
void jacobi_nove(const nivel_nove& v, double* copia, int varreduras, equipe& eq);
// O sentido de uma varredura lexicográfica: j e i crescentes, ou decrescentes.
enum class sentido_varredura { para_frente, para_tras };


/// Varreduras de Gauss-Seidel lexicográfico (SOR com omega != 1) com o operador variável ou o de nove pontos
/// constante (bloco nulo), numa thread, com os bits do laço simples: uma faixa de linhas em voo, cada uma algumas colunas atrás da
/// anterior.
void lexicografica_variavel(const nivel_variavel& v, int varreduras, sentido_varredura sentido);
void lexicografica_nove(const nivel_nove& v, int varreduras, sentido_varredura sentido);
/// Se o processador tem o conjunto de instruções (escalar e automatico sempre).
bool conjunto_disponivel(conjunto_instrucoes c);
/// O nome do conjunto: "scalar", "avx2", "avx512" ("auto" para automatico).
const char* nome_do_conjunto(conjunto_instrucoes c);
