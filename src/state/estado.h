// Registros: os dados simples que toda camada pode ler. Este é o estado compartilhado de uma rodada (entrada,
// solução, nível corrente e carimbo); ao lado dele, o método pedido e o efetivo (metodo.h), as tabelas dos
// componentes (componentes.h) e das opções do método (opcoes_metodo.h), as cifras de uma rodada (cifras.h), as
// linhas de uma tabela de estudo (tabela_estudo.h), o formato das figuras (formato_figura.h), o erro fatal e o vetor
// das grades. Nada aqui calcula o método: só construção, nomes e a leitura dos valores das opções.
#pragma once

#include <string>
#include <vector>

#include "state/veredito.h"
#include "state/operador.h"
#include "state/vetor_grande.h"

struct estado_execucao {
    // entrada (ler_dados)
    std::string caso;               // nome do experimento e da listagem, 50 caracteres Latin-1
    std::string arquivo_listagem;   // o nome do arquivo da listagem: caso como escrito, sem brancos finais
    int nm = 0;                     // número de malhas
    std::vector<int> nxg, nyg;      // pontos por direção de cada nível, índices 1..nm
    std::vector<int> nxyg;          // pontos de cada nível, índices 1..nm
    int nxyt = 0;                   // pontos de todos os níveis
    double tolt = 0.0;              // tolerância de hist(it)/hist(0)
    int itmax = 0;                  // máximo de iterações externas
    int nitm = 0;                   // varreduras de Gauss-Seidel por suavização
    int problema = 0;               // 1 = linear; outro = senoidal
    int tipo_ci = 0;                // 0 = nula; 1 = solução analítica
    int escreve = 0;                // 1 = campo T na listagem
    int freq = 0;                   // só ecoado na listagem
    std::string titulo;             // título, 90 caracteres
    std::vector<double> hist;       // normas L1, índices 0..niter; cresce com as iterações

    // solução (resolver_malha_unica, resolver_multigrid)
    vetor_grande T;                 // campo do nível mais fino, índices 1..nxyg(nm)
    vetor_grande cor, res;          // correções e lados direitos dos níveis grossos, empacotados
    long long it = 0;               // iteração externa corrente (chega a itmax + 1)
    long long niter = 0;            // iterações externas feitas
    motivo_parada parada = motivo_parada::iteracoes; // o teste que parou o laço (ou itmax)
    double tcpu = 0.0;              // tempo de processador da solução, segundos
    double tparede = 0.0;           // tempo de relógio da solução, segundos
    std::vector<double> tcpu_repeticoes, tparede_repeticoes; // --repeat R: os tempos de cada uma das R soluções
                                    // (a primeira é tcpu, tparede); vazios sem --repeat (executar)
    int threads_pedidas = 0;        // threads pedidas (-j, ou o padrão) (executar)
    int processadores = 0;          // processadores disponíveis ao processo (executar)
    int threads = 0;                // threads que a solução teve de fato (as que o sistema deixou criar)
    std::string instrucoes;         // instruções da passada rápida: "scalar/avx512" (varreduras/parcelas da norma),
                                    // "off" quando ela não serve ao método; vazio antes da solução
    veredito veredito_final = veredito::parou; // como a rodada terminou (julgar_rodada, depois da solução)
    // aceleração de Krylov (--krylov; vazios sem ela)
    std::vector<double> estimativa_krylov; // a norma L2 do resíduo que o método estima, índices 0..niter
    std::string ruptura;            // a ruptura que parou o método ("pq = 0"), com a iteração em it

    // operador e fonte (planejar_solver, uma vez por solução)
    std::vector<operador_nivel> operadores; // o operador de cada nível, índices 1..nm (vazio: o laplaciano)
    vetor_grande pesos;             // coeficientes por ponto das formas variáveis, um bloco por nível
    vetor_grande kappa;             // coeficiente de difusão por célula do nível mais fino, índices 1..(nx-1)(ny-1);
                                    // vazio com o operador constante
    vetor_grande fonte;             // lado direito do nível mais fino, índices 1..nxyg(nm); vazio sem termo fonte

    // nível corrente (selecionar_nivel, coeficientes, norma_l1)
    int k = 0, ofsk = 0;            // número do nível e seu deslocamento em cor/res
    int nxk = 0, nyk = 0, nxyk = 0; // pontos do nível
    double dx = 0.0, dy = 0.0;      // espaçamentos
    double ae = 0.0, an = 0.0, ap = 0.0; // coeficientes de cinco pontos
    double rnorm = 0.0;             // última norma L1 dos resíduos

    // carimbo (data_e_hora)
    std::string texto_dia;          // 12 caracteres
    std::string texto_hora;         // 8 caracteres
    std::string texto_iso;          // AAAA-MM-DDTHH:MM:SS, para o resumo
};
