// Plano de uma solução: o método escolhido uma vez (suavizador, restrição, contagens), com a equipe, o rascunho e
// o fator do nível 1; e as vistas de um nível pelas quais os núcleos das variantes o enxergam.
#pragma once

#include <functional>
#include <span>
#include <vector>

#include "fast/equipe.h"
#include "fast/passada.h"
#include "state/cifras.h"
#include "state/estado.h"
#include "state/metodo.h"
#include "state/operador.h"

/// Chamado depois de cada hist(it), se houver.
using aviso_iteracao = std::function<void(const estado_execucao&)>;

// Como executar; nada aqui muda um bit do resultado.
struct ajustes_solver {
    bool rapidos = true;            // núcleos rápidos, com os mesmos bits dos de referência
    int threads = 1;                // threads pedidas para os níveis grandes
    conjunto_instrucoes instrucoes = conjunto_instrucoes::automatico; // forçado só onde o processador o tem
    tempos_fases* tempos = nullptr; // não nulo: soma ali o tempo de relógio de cada nível e fase (--timing)
    aviso_iteracao ao_comecar;      // chamado com o campo inicial pronto (it = 0), se houver
    std::function<void(double)> ao_fatorar; // a fração feita do fator do nível 1 (--coarsest solve), se houver
    std::span<const double> reinicio; // com tipo_ci = 2: o campo de partida, nx*ny valores em ordem de armazenamento
};

// Um nível visto pelos núcleos das variantes: índices locais a partir de 1, P = i + (j-1)*nx. A forma do operador
// diz o que o núcleo lê: o estêncil constante (ae, an, ap) ou as grades do bloco do nível (pesos).
struct vista_nivel {
    double* u = nullptr;       // T, ou a correção (o campo, no FMG) do nível
    const double* f = nullptr; // lado direito do nível (res; em T a fonte do problema); nulo em T sem fonte
    int nx = 0, ny = 0;        // pontos por direção, contornos incluídos
    double ae = 0.0, an = 0.0, ap = 0.0;
    forma_operador forma = forma_operador::cinco_constante;
    const double* pesos = nullptr; // formas variáveis: o bloco do nível (estencil_de(pesos, nx*ny); nove: nove grades)
    const double* nove = nullptr;  // nove_constante: os nove números (posicao9)
};

// A interpolação do nível k-1 para o nível k vista pelos núcleos (a restrição transposta também a lê).
struct vista_interpolacao {
    forma_interpolacao forma = forma_interpolacao::bilinear;
    tipo_engrossamento engrossamento = tipo_engrossamento::completo;
    pesos_constantes constantes;   // bilinear e operador_constante (os padrões são os bilineares)
    const double* pesos = nullptr; // operador_variavel: quatro grades de nx*ny do nível fino
};

// O nível k-1, abaixo do corrente: o lado direito que a restrição escreve (só nos pontos internos), a correção que
// a prolongação lê e a interpolação entre os dois.
struct nivel_abaixo {
    double* r = nullptr; // res do nível k-1, índices locais a partir de 1
    int nxc = 0, nyc = 0;
    const double* cor = nullptr; // correção (ou campo, no FMG) do nível k-1
    vista_interpolacao interpolacao;
};

// O que um suavizador usa além do nível.
struct meios_suavizacao {
    double omega = 1.0;         // fator de relaxação; 1 = atualização pura
    equipe* eq = nullptr;       // threads dos suavizadores pontuais (gs-rb, jacobi); nula = uma só
    double* rascunho = nullptr; // jacobi: cópia do nível; linhas: as recorrências de Thomas
    bool rapidos = false;       // núcleos rápidos (os mesmos bits): ida do gs-sym com omega 1, suavizadores de linhas
};

/// Um suavizador: `varreduras` varreduras sobre o interior do nível (nenhuma quando <= 0).
using suavizador = void (*)(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
/// Uma restrição: o resíduo do nível fino levado ao lado direito do nível abaixo; rascunho de 3*(nx+1) doubles.
using restricao = void (*)(const vista_nivel& fina, const nivel_abaixo& grossa, double* rascunho);
/// Uma prolongação: a correção do nível abaixo interpolada e somada ao interior do nível fino.
using prolongacao = void (*)(const vista_nivel& fina, const nivel_abaixo& grossa);

// Fator em banda das equações do nível 1 (feito uma vez por solução): Cholesky nas de cinco pontos, LU sem pivô nas
// de nove.
struct fator_banda {
    int mx = 0, my = 0;    // incógnitas em X e em Y
    int n = 0, b = 0;      // incógnitas e meia largura de banda (a menor de mx, my)
    bool x_rapido = true;  // numeração com X mais rápido (banda mx), senão Y mais rápido (banda my)
    bool lu = false;       // nove pontos: L e U em L, linha r com as colunas r-b-1 .. r+b+1
    std::vector<double> L; // linha r do fator: L(r, r-b .. r) em L[r*(b+1) .. r*(b+1)+b]
    std::vector<double> x; // lado direito e solução de uma resolução
};
/// O ponto da incógnita r (a partir de 0) na numeração do fator, numa grade de nx pontos por linha.
inline long ponto_do_fator(const fator_banda& f, long nx, long r) {
    const long a = r % f.b, z = r / f.b; // posição na direção rápida e na lenta, a partir de 0
    const long i = 2 + (f.x_rapido ? a : z), j = 2 + (f.x_rapido ? z : a);
    return i + (j - 1) * nx;
}

// Os núcleos de um nível, escolhidos uma vez pela forma do seu operador.
struct nucleos_nivel {
    suavizador suavizar = nullptr;
    suavizador pos_suavizar = nullptr; // a pós-suavização: suavizar, ou a sua adjunta (--post-order adjoint)
    restricao restringir = nullptr;   // do nível para o de baixo (nada no nível 1)
    prolongacao prolongar = nullptr;  // do nível de baixo para este (nada no nível 1)
};

// O método de uma solução já escolhido: nada aqui é decidido dentro dos laços.
struct plano_solver {
    tipo_ciclo ciclo = tipo_ciclo::V;
    bool fmg = false;
    int pre = 0, pos = 0, grosso = 0; // varreduras efetivas
    bool grosso_exato = false;
    ordem_pos ordem = ordem_pos::mesma; // adjunta: a pós-suavização e a metade final das varreduras do nível 1
    bool rapido = false;              // Gauss-Seidel lexicográfico puro, vermelho-preto ou Jacobi (qualquer
                                      // omega), injeção ou ponderações e interpolação bilinear, operador constante
                                      // de cinco pontos, engrossamento completo, pós-suavização na mesma ordem:
                                      // passada_rapida em todo nível
    restricao_passada restricao_rapida = restricao_passada::injecao; // a restrição da passada rápida
    suavizador_passada suavizador_rapido = suavizador_passada::gs_lex; // as varreduras da passada rápida
    bool ida_rapida = false;          // gs-sym com omega 1 e operador constante: a ida na passada rápida, o resto não
    bool linhas_rapidas = false;      // line-x, line-y e line-alt com o operador constante, line-y e line-alt com o
                                      // variável: núcleos de linha (escalar)
    bool variaveis_rapidos = false;   // gs-rb e jacobi com o operador variável de cinco pontos: núcleos em vetores
    bool lexicograficas_variaveis = false; // gs-lex e gs-sym com ele: linhas em voo (escalar)
    bool varreduras_rapidas = false;  // fora da passada rápida inteira, as varreduras de gs-lex (omega 1), gs-rb e
                                      // jacobi nos níveis de operador constante vão nela
    std::vector<nucleos_nivel> nucleos; // por nível, índices 1..nm
    definicao_problema problema;      // contornos dos níveis no FMG e a fonte de cada um
    meios_suavizacao meios;
    std::vector<double> rascunho_suavizador, rascunho_restricao;
    fator_banda fator;
    equipe* eq = nullptr;
    tempos_fases* tempos = nullptr;   // --timing: onde o ciclo soma o tempo de cada nível e fase

    plano_solver() = default;
    plano_solver(const plano_solver&) = delete; // meios.rascunho aponta para dentro do próprio plano
    plano_solver& operator=(const plano_solver&) = delete;
};

/// O pedido `x` com as varreduras do plano: o suavizador e o seu omega.
inline pedido_passada com_suavizador(const plano_solver& p, pedido_passada x) {
    x.suavizador = p.suavizador_rapido;
    x.omega = p.meios.omega;
    return x;
}

// Doubles de rascunho que o método pede além das grades (dimensionados pelo nível mais fino).
struct rascunho_metodo {
    long suavizador = 0; // jacobi: o nível inteiro; linhas: 4*(max(nx, ny)+1)
    long restricao = 0;  // meia e completa: três linhas de resíduos
};
